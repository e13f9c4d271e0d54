// The list model of lstResList: a thin view of the script document, one row per line.
#pragma once

#include <QAbstractListModel>

namespace brevok {

class ScriptDocument;
struct ScriptChange;

/// Presents the lines of a ScriptDocument as rows, decoded in the system's code page only
/// when a row is drawn, so a script of a million lines costs no per-row objects. The model
/// follows the document's change notifications; it keeps its own row count so that the view
/// always hears of a change before it asks for the new rows.
class ScriptListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit ScriptListModel(ScriptDocument& document, QObject* parent = nullptr);
    ~ScriptListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    /// The view asks for the index of every row when it lays a million of them out; this
    /// answers without the base class's virtual calls back into rowCount and columnCount.
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void OnDocumentChanged(const ScriptChange& change);

    ScriptDocument& document_;
    int listener_ = 0;
    int rows_ = 0;
};

}  // namespace brevok

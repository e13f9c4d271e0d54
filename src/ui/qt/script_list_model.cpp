// The list model of lstResList.
#include "ui/qt/script_list_model.h"

#include "ui/qt/qt_text.h"

#include "script/script_document.h"

#include <limits>

namespace brevok {

namespace {

int RowCountOf(const ScriptDocument& document)
{
    // QListView counts rows in int; a longer script shows its first 2^31-1 lines.
    const std::size_t lines = document.LineCount();
    const auto limit = static_cast<std::size_t>(std::numeric_limits<int>::max());
    return static_cast<int>(lines < limit ? lines : limit);
}

}  // namespace

ScriptListModel::ScriptListModel(ScriptDocument& document, QObject* parent)
    : QAbstractListModel(parent), document_(document), rows_(RowCountOf(document))
{
    listener_ = document_.AddListener([this](const ScriptChange& change) { OnDocumentChanged(change); });
}

ScriptListModel::~ScriptListModel()
{
    document_.RemoveListener(listener_);
}

int ScriptListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

QModelIndex ScriptListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || row >= rows_ || column != 0 || parent.isValid())
        return {};
    return createIndex(row, column);
}

QVariant ScriptListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_)
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= document_.LineCount())
        return {};
    const std::string_view line = document_.Line(row);
    return ToQt(line);
}

void ScriptListModel::OnDocumentChanged(const ScriptChange& change)
{
    const int row = static_cast<int>(change.index);
    switch (change.kind) {
    case ScriptChange::Kind::Reset:
        beginResetModel();
        rows_ = RowCountOf(document_);
        endResetModel();
        break;
    case ScriptChange::Kind::Inserted:
        if (row > rows_ || rows_ == std::numeric_limits<int>::max())
            break;
        beginInsertRows({}, row, row);
        ++rows_;
        endInsertRows();
        break;
    case ScriptChange::Kind::Removed:
        if (row >= rows_)
            break;
        beginRemoveRows({}, row, row);
        --rows_;
        endRemoveRows();
        break;
    case ScriptChange::Kind::Replaced:
        if (row < rows_)
            emit dataChanged(this->index(row), this->index(row), {Qt::DisplayRole});
        break;
    }
}

}  // namespace brevok

// TKURL2: a web or e-mail address shown as a blue, underlined link that opens through the shell.
#pragma once

#include "workbench/link_target.h"

#include <QWidget>

#include <string>

class QLabel;

namespace brevok {

class Shell;

/// A control that holds an inner label with the address. The label sits at the top-left
/// corner, sizes itself to its text, and the control's width follows it; the height is the
/// host's (13 after construction). The hand pointer shows over the whole control; only a
/// click on the text opens the link.
class TKURL2 : public QWidget {
    Q_OBJECT
public:
    /// `shell` receives the "open" requests; it must outlive the control. Without one, the
    /// desktop's URL opener is used.
    explicit TKURL2(QWidget* parent = nullptr, Shell* shell = nullptr);
    ~TKURL2() override;

    /// The address, which lives in the inner label's text (the control keeps no copy).
    std::string URLorEMAIL() const;
    /// Sets the address and makes the control exactly as wide as the new text.
    void SetURLorEMAIL(const std::string& address);

    /// Whether hovering over the text shows the hint.
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show) { showHint_ = show; }

    LinkType Choose() const { return choose_; }
    void SetChoose(LinkType kind) { choose_ = kind; }

    /// Replaces the shell that receives the "open" requests.
    void SetShell(Shell& shell) { shell_ = &shell; }

    /// The inner label, for hosts that want to inspect or style it.
    QLabel* Label() const { return label_; }

public slots:
    /// Hands the address ("mailto:" + address for ltEMAIL, whatever the text already starts
    /// with) to the shell's "open" verb, maximized. Works on a control never shown.
    void OpenLink();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SizeToText();

    QLabel* label_ = nullptr;
    Shell* shell_ = nullptr;
    LinkType choose_ = LinkType::ltURL;
    bool showHint_ = true;
    bool pressedOnText_ = false;
};

}  // namespace brevok

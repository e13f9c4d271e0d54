// The small window that stands in for the compiler's console window while a batch runs.
#include "ui/qt/compile_progress_window.h"

#include "ui/qt/qt_text.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace brevok {

CompileProgressWindow::CompileProgressWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("CompileProgress"));
    setWindowTitle(QStringLiteral("Compiler progress"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    output_ = new QPlainTextEdit(this);
    output_->setReadOnly(true);
    output_->setLineWrapMode(QPlainTextEdit::NoWrap);
    output_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(output_);
    resize(480, 200);
    if (owner != nullptr)
        move(owner->geometry().topLeft() + QPoint(20, 120));
}

void CompileProgressWindow::AppendOutput(std::string_view bytes)
{
    if (!isVisible())
        show();
    // Output arrives in pieces that may end inside a line; insert at the end as it comes.
    output_->moveCursor(QTextCursor::End);
    output_->insertPlainText(ToQt(bytes).remove(QLatin1Char('\r')));
    output_->verticalScrollBar()->setValue(output_->verticalScrollBar()->maximum());
}

QString CompileProgressWindow::Text() const
{
    return output_->toPlainText();
}

}  // namespace brevok

// The main window: its controls, the forwarding of every event to the workbench, and what
// the workbench shows through it.
#include "ui/qt/main_window.h"

#include "platform/process.h"
#include "ui/qt/about_box.h"
#include "ui/qt/compile_progress_window.h"
#include "ui/qt/kurl2.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/script_list_model.h"
#include "workbench/command_table.h"
#include "workbench/help_command.h"
#include "workbench/window_layout.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

// The pictures live in a resource file of a static library, which the linker would otherwise
// leave out; this registers them. It must be called outside any namespace.
static void InitPictures()
{
    Q_INIT_RESOURCE(brevok);
}

namespace brevok {

namespace {

/// "MS Sans Serif" 8 pt where the system has it, else the desktop's own font at 8 pt.
QFont WindowFont()
{
    if (QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif")))
        return QFont(QStringLiteral("MS Sans Serif"), 8);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    return font;
}

QFont HeadingFont()
{
    QFont font(QStringLiteral("Arial"), 11, QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QRect Place(const layout::Box& box)
{
    return {box.x, box.y, box.width, box.height};
}

/// The tool-bar picture `index` (0 to 10).
QIcon Picture(int index)
{
    return QIcon(QStringLiteral(":/images/tool%1.svg").arg(index, 2, 10, QLatin1Char('0')));
}

/// The keys that reach a list box as typed characters: printable characters, Backspace,
/// Enter, Escape and control-key combinations; not arrows, paging, Delete or function keys.
bool IsCharacterKey(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    if ((key.modifiers() & Qt::ControlModifier) && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
        return true;
    const QString text = key.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

/// The local files of a drag from a file manager.
std::vector<std::string> DroppedFiles(const QDropEvent& drop)
{
    std::vector<std::string> paths;
    if (drop.mimeData() == nullptr)
        return paths;
    for (const QUrl& url : drop.mimeData()->urls()) {
        if (url.isLocalFile())
            paths.push_back(FromQt(url.toLocalFile()));
    }
    return paths;
}

TKURL2* CreateLink(QWidget* panel, Shell* shell, const char* name, QRect place, LinkType kind, const char* address)
{
    auto* link = new TKURL2(panel, shell);
    link->setObjectName(QString::fromLatin1(name));
    link->SetChoose(kind);
    link->SetURLorEMAIL(address);
    link->setGeometry(place);
    return link;
}

}  // namespace

TfrmResmain::TfrmResmain(MainWindowServices services, QWidget* parent) : QMainWindow(parent), shell_(services.shell)
{
    InitPictures();
    workbench_ = std::make_unique<Workbench>(WorkbenchServices{services.dialogs, services.registry, services.launcher,
                                                               services.starter, services.programPath},
                                             static_cast<WorkbenchView&>(*this));

    setObjectName(QStringLiteral("frmResmain"));
    setFont(WindowFont());
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/brevok16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/images/brevok32.png"), QSize(32, 32));
    setWindowIcon(icon);
    // A single fixed border: minimise and close, no maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(layout::kClientWidth, layout::kClientHeight);
    setCentralWidget(client);

    BuildMenus();
    BuildToolBar(client);
    BuildControls(client);
    Show(workbench_->State());
    setFixedSize(sizeHint());
    memCompilerMess_->setFocus();
}

TfrmResmain::~TfrmResmain()
{
    // The model listens to the workbench's document, which goes before the children do.
    lstResList_->removeEventFilter(this);
    lstViewport_->removeEventFilter(this);
    lstResList_->setModel(nullptr);
    delete model_;
    model_ = nullptr;
    if (busyDepth_ > 0)
        QApplication::restoreOverrideCursor();
}

// --- building the window ------------------------------------------------------------------------

void TfrmResmain::BuildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    for (const MenuInfo& info : Menus()) {
        QMenu* menu = bar->addMenu(ToQt(info.caption));
        menu->setObjectName(ToQt(info.name));
        for (const std::optional<CommandId>& entry : info.entries) {
            if (entry)
                AddMenuCommand(menu, *entry);
            else
                menu->addSeparator();
        }
    }
}

void TfrmResmain::AddMenuCommand(QMenu* menu, CommandId id)
{
    const CommandInfo& info = InfoOf(id);
    QAction* action = menu->addAction(ToQt(info.caption));
    action->setObjectName(ToQt(info.menuName));
    action->setCheckable(info.checkable);
    connect(action, &QAction::triggered, this, [this, id] { workbench_->Execute(id); });
    commandActions_[static_cast<std::size_t>(id)] = action;
}

void TfrmResmain::BuildToolBar(QWidget* client)
{
    toolBar1_ = new QToolBar(client);
    toolBar1_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar1_->setGeometry(0, 0, layout::kClientWidth, layout::kToolBarHeight);
    toolBar1_->setMovable(false);
    toolBar1_->setFloatable(false);
    toolBar1_->setIconSize(QSize(layout::kPictureSize, layout::kPictureSize));
    toolBar1_->setContentsMargins(0, 0, 0, 0);
    for (const ToolBarItem& item : ToolBar()) {
        if (item.command) {
            AddToolButton(*item.command);
            continue;
        }
        auto* spacer = new QWidget(toolBar1_);
        spacer->setFixedSize(item.gapWidth, layout::kToolButtonHeight);
        toolBar1_->addWidget(spacer);
    }
}

void TfrmResmain::AddToolButton(CommandId id)
{
    const CommandInfo& info = InfoOf(id);
    auto* button = new QToolButton(toolBar1_);
    button->setObjectName(ToQt(info.toolName));
    button->setIcon(Picture(info.picture));
    button->setIconSize(QSize(layout::kPictureSize, layout::kPictureSize));
    button->setFixedSize(layout::kToolButtonWidth, layout::kToolButtonHeight);
    button->setToolTip(ToQt(info.hint));
    button->setAutoRaise(true);
    // Tool buttons never take the keyboard focus away from the list or the pane.
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, id] { workbench_->Execute(id); });
    toolBar1_->addWidget(button);
    commandButtons_[static_cast<std::size_t>(id)] = button;
}

void TfrmResmain::BuildControls(QWidget* client)
{
    auto label = [client](const char* name, const char* text, const layout::Box& place) {
        auto* widget = new QLabel(QString::fromLatin1(text), client);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(Place(place));
        return widget;
    };
    lblCurResFile_ = label("lblCurResFile", kResFileCaption, layout::kScriptLabel);
    lblCurExeFile_ = label("lblCurExeFile", kExeFileCaption, layout::kExeLabel);
    wFolder_ = label("wFolder", kFolderCaption, layout::kFolderLabel);
    compLab_ = label("CompLab", kCompilerCaption, layout::kCompilerLabel);
    label("lblResList", "List of Resources", layout::kListHeading)->setFont(HeadingFont());
    label("lblComMess", "Compiler Messages", layout::kMessagesHeading)->setFont(HeadingFont());

    lstResList_ = new QListView(client);
    lstResList_->setObjectName(QStringLiteral("lstResList"));
    lstResList_->setGeometry(Place(layout::kList));
    lstResList_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstResList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One row height for all rows: the view then never measures rows it does not draw.
    lstResList_->setUniformItemSizes(true);
    model_ = new ScriptListModel(workbench_->Document(), this);
    lstResList_->setModel(model_);
    lstViewport_ = lstResList_->viewport();
    lstViewport_->setAcceptDrops(true);
    lstResList_->installEventFilter(this);
    lstViewport_->installEventFilter(this);

    memCompilerMess_ = new QPlainTextEdit(client);
    memCompilerMess_->setObjectName(QStringLiteral("memCompilerMess"));
    memCompilerMess_->setGeometry(Place(layout::kMessages));
    memCompilerMess_->setReadOnly(true);
    memCompilerMess_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memCompilerMess_->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    auto* sBar = new QStatusBar(client);
    sBar->setObjectName(QStringLiteral("SBar"));
    sBar->setGeometry(0, layout::kClientHeight - layout::kStatusBarHeight, layout::kClientWidth,
                      layout::kStatusBarHeight);
    sBar->setSizeGripEnabled(false);
    for (int panel = 0; panel < 3; ++panel) {
        auto* text = new QLabel(sBar);
        text->setObjectName(QStringLiteral("SBarPanel%1").arg(panel));
        text->setFixedWidth(layout::kStatusPanelWidths[panel]);
        text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        sBar->addWidget(text);
        statusPanels_[panel] = text;
    }

    panel1_ = new QWidget(client);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setGeometry(Place(layout::kLinkPanel));
    panel1_->hide();
    CreateAboutComponents();

    setTabOrder(memCompilerMess_, lstResList_);
}

void TfrmResmain::CreateAboutComponents()
{
    aboutBox_ = new THalvaneAboutBox(this);
    aboutBox_->setObjectName(QStringLiteral("AboutBox"));
    SetUpMainWindowAboutBox(*aboutBox_);

    // The panel is never shown: the links only open the maker's addresses for the Help menu.
    web_ = CreateLink(panel1_, shell_, "web", Place(layout::kWebLink), LinkType::ltURL, kMakerWebAddress);
    email_ =
        CreateLink(panel1_, shell_, "email", Place(layout::kMailLink), LinkType::ltEMAIL, kMakerMailAddress);
}

// --- events -------------------------------------------------------------------------------------

bool TfrmResmain::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        QueueActivation();
    return QMainWindow::event(event);
}

void TfrmResmain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        if (const QScreen* where = screen())
            move(where->availableGeometry().center() - frameGeometry().center() + pos());
    }
    // Some desktops never activate a new window; its first show starts the sequence as well.
    QueueActivation();
}

void TfrmResmain::QueueActivation()
{
    if (workbench_->Activated() || activationQueued_)
        return;
    activationQueued_ = true;
    // After the event that asked for it, so that boxes of the sequence open over a painted window.
    QTimer::singleShot(0, this, [this] { workbench_->Activate(); });
}

void TfrmResmain::closeEvent(QCloseEvent* event)
{
    if (workbench_->MayClose())
        event->accept();
    else
        event->ignore();
}

bool TfrmResmain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstResList_ && event->type() == QEvent::KeyPress) {
        if (IsCharacterKey(*static_cast<QKeyEvent*>(event)))
            workbench_->NoteTypedKey();
        return false;  // the key keeps the list's own meaning
    }
    if (watched == lstViewport_ && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove)) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (workbench_->State().commands == CommandState::ScriptOpen && !DroppedFiles(*drag).empty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    if (watched == lstViewport_ && event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::vector<std::string> paths = DroppedFiles(*drop);
        drop->acceptProposedAction();
        workbench_->AddDroppedFiles(paths);
        return true;
    }
    if (watched == lstViewport_ && event->type() == QEvent::MouseButtonPress &&
        !lstResList_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid()) {
        // A click on empty space keeps the selection, as a Windows list box does.
        return true;
    }
    if (watched == lstViewport_ && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        workbench_->EditSelectedLine();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- what the workbench shows -------------------------------------------------------------------

void TfrmResmain::Show(const WorkbenchState& state)
{
    setWindowTitle(ToQt(state.caption));
    lblCurResFile_->setText(ToQt(state.scriptLabel));
    lblCurExeFile_->setText(ToQt(state.exeLabel));
    wFolder_->setText(ToQt(state.folderLabel));
    wFolder_->adjustSize();
    compLab_->setText(ToQt(state.compilerLabel));
    compLab_->adjustSize();
    statusPanels_[0]->setText(ToQt(state.statusPanel));
    for (const CommandInfo& info : Commands()) {
        const std::size_t index = static_cast<std::size_t>(info.id);
        const bool enabled = IsEnabled(info.enabling, state.commands);
        commandActions_[index]->setEnabled(enabled);
        if (commandButtons_[index] != nullptr)
            commandButtons_[index]->setEnabled(enabled);
    }
    commandActions_[static_cast<std::size_t>(CommandId::StartWithLast)]->setChecked(state.startWithLast);
    commandActions_[static_cast<std::size_t>(CommandId::ShowProgress)]->setChecked(state.showProgress);
}

QString TfrmResmain::StatusPanelText(int panel) const
{
    return panel >= 0 && panel < 3 ? statusPanels_[panel]->text() : QString();
}

void TfrmResmain::SetMessages(std::span<const std::string> lines)
{
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        shown.push_back(ToQt(line));
    memCompilerMess_->setPlainText(shown.join(QLatin1Char('\n')));
}

void TfrmResmain::AddMessage(std::string_view line)
{
    memCompilerMess_->appendPlainText(ToQt(line));
}

std::optional<std::size_t> TfrmResmain::SelectedLine() const
{
    const QModelIndexList rows = lstResList_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(rows.first().row());
}

void TfrmResmain::SelectLine(std::optional<std::size_t> line)
{
    if (!line || *line >= static_cast<std::size_t>(model_->rowCount())) {
        lstResList_->selectionModel()->clear();
        return;
    }
    lstResList_->setCurrentIndex(model_->index(static_cast<int>(*line)));
}

void TfrmResmain::BeginBusy()
{
    if (busyDepth_++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TfrmResmain::EndBusy()
{
    if (busyDepth_ > 0 && --busyDepth_ == 0)
        QApplication::restoreOverrideCursor();
}

void TfrmResmain::Repaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmResmain::AddRunOutput(std::string_view bytes)
{
    if (runOutput_ == nullptr)
        runOutput_ = new CompileProgressWindow(this);
    runOutput_->AppendOutput(bytes);
}

void TfrmResmain::EndRunOutput()
{
    delete runOutput_;
    runOutput_ = nullptr;
}

void TfrmResmain::SetAboutBoxFile(const std::string& path)
{
    aboutBox_->SetFilename(path);
}

void TfrmResmain::ShowAboutBox()
{
    aboutBox_->Execute();
}

void TfrmResmain::OpenMakerLink(MakerLink link)
{
    (link == MakerLink::Email ? email_ : web_)->OpenLink();
}

}  // namespace brevok

// The main window: its controls, the forwarding of every event to the workbench, and what
// the workbench shows through it.
#include "ui/qt/main_window.h"

#include "platform/process.h"
#include "ui/qt/about_box.h"
#include "ui/qt/compile_progress_window.h"
#include "ui/qt/kurl2.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/script_list_model.h"
#include "workbench/help_command.h"

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
    if (services.launcher == nullptr) {
        ownLauncher_ = std::make_unique<SystemProcessLauncher>();
        services.launcher = ownLauncher_.get();
    }
    if (services.starter == nullptr) {
        ownStarter_ = std::make_unique<SystemProgramStarter>();
        services.starter = ownStarter_.get();
    }
    workbench_ = std::make_unique<Workbench>(WorkbenchServices{services.dialogs, services.registry, *services.launcher,
                                                               *services.starter, services.programPath},
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
    client->setFixedSize(kClientWidth, kClientHeight);
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

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* fileNew = AddMenuCommand(file, "mnuFileNew", "&New", &Workbench::NewScript);
    QAction* fileOpen = AddMenuCommand(file, "mnuFileOpen", "&Open", &Workbench::OpenScript);
    QAction* fileClose = AddMenuCommand(file, "mnuFileClose", "C&lose", &Workbench::CloseScript);
    file->addSeparator();
    QAction* select = AddMenuCommand(file, "mnuFileSelect", "&Add File", &Workbench::AddFile);
    QAction* remove = AddMenuCommand(file, "mnuFileRemoveLine", "&Remove File", &Workbench::RemoveSelectedLine);
    file->addSeparator();
    AddMenuCommand(file, "mnuFileExit", "&Exit", &Workbench::Exit);

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    startwithLast_ =
        AddMenuCommand(options, "StartwithLast", "Start with last Project", &Workbench::ToggleStartWithLast);
    startwithLast_->setCheckable(true);
    AddMenuCommand(options, "FindCompiler1", "&Find Compiler", &Workbench::FindCompiler);
    showprogress_ = AddMenuCommand(options, "Showprogress", "Show Compiler progress", &Workbench::ToggleShowProgress);
    showprogress_->setCheckable(true);
    AddMenuCommand(options, "SetWorkingFolder1", "Set Working Folder", &Workbench::ChooseWorkingFolder);
    QAction* selectExe =
        AddMenuCommand(options, "mnuFileSelectExe", "Select &Exe to Bind", &Workbench::ChooseExecutable);

    QMenu* actions = bar->addMenu(QStringLiteral("&Actions"));
    actions->setObjectName(QStringLiteral("mnuActions"));
    QAction* compile = AddMenuCommand(actions, "mnuFileCompile", "&Compile", &Workbench::Compile);
    QAction* build = AddMenuCommand(actions, "mnuFileBuildAll", "&Build All", &Workbench::BuildAll);
    actions->addSeparator();
    AddMenuCommand(actions, "Redirectsourcefilestoworkingfolder1", "Re-direct source files to working folder",
                   &Workbench::RedirectSources);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    AddMenuCommand(help, "Help1", "&Help", &Workbench::ShowHelp);
    AddMenuCommand(help, "About1", "&About", &Workbench::ShowAbout);
    help->addSeparator();
    AddMenuCommand(help, "emailHalvane1", "e-mail Halvane", &Workbench::EmailMaker);
    AddMenuCommand(help, "HalvaneontheWeb1", "Halvane on the Web", &Workbench::OpenMakerWebPage);

    closedStateActions_ = {fileNew, fileOpen};
    openStateActions_ = {fileClose, selectExe, select, remove, compile, build};
}

QAction* TfrmResmain::AddMenuCommand(QMenu* menu, const char* name, const char* text, Command command)
{
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, command] { (workbench_.get()->*command)(); });
    return action;
}

void TfrmResmain::BuildToolBar(QWidget* client)
{
    toolBar1_ = new QToolBar(client);
    toolBar1_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar1_->setGeometry(0, 0, kClientWidth, 42);
    toolBar1_->setMovable(false);
    toolBar1_->setFloatable(false);
    toolBar1_->setIconSize(QSize(32, 32));
    toolBar1_->setContentsMargins(0, 0, 0, 0);

    auto gap = [this](int width) {
        auto* spacer = new QWidget(toolBar1_);
        spacer->setFixedSize(width, 38);
        toolBar1_->addWidget(spacer);
    };
    AddToolButton("tlbExit", "Exit", 9, &Workbench::Exit);
    gap(41);
    QToolButton* newButton = AddToolButton("tlbNew", "New Resource Script", 0, &Workbench::NewScript);
    QToolButton* openButton = AddToolButton("tlbOpen", "Open Resource Script", 1, &Workbench::OpenScript);
    QToolButton* closeButton = AddToolButton("tlbClose", "Close Resource Script", 2, &Workbench::CloseScript);
    QToolButton* exeButton =
        AddToolButton("tlbSelectExe", "Select Executable to bind to", 7, &Workbench::ChooseExecutable);
    QToolButton* addButton = AddToolButton("tlbSelectFile", "Add a file to resources", 3, &Workbench::AddFile);
    QToolButton* removeButton =
        AddToolButton("tlbRemoveFile", "Remove a file from resources", 10, &Workbench::RemoveSelectedLine);
    QToolButton* compileButton = AddToolButton("tlbCompile", "Compile resource file", 8, &Workbench::Compile);
    QToolButton* buildButton = AddToolButton("tlbBuild", "Build All", 6, &Workbench::BuildAll);
    gap(40);
    AddToolButton("tlbHelp", "Help", 5, &Workbench::ShowHelp);

    closedStateButtons_ = {newButton, openButton};
    openStateButtons_ = {closeButton, exeButton, addButton, removeButton, compileButton, buildButton};
}

QToolButton* TfrmResmain::AddToolButton(const char* name, const char* hint, int picture, Command command)
{
    auto* button = new QToolButton(toolBar1_);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(Picture(picture));
    button->setIconSize(QSize(32, 32));
    button->setFixedSize(39, 38);
    button->setToolTip(QString::fromLatin1(hint));
    button->setAutoRaise(true);
    // Tool buttons never take the keyboard focus away from the list or the pane.
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, command] { (workbench_.get()->*command)(); });
    toolBar1_->addWidget(button);
    return button;
}

void TfrmResmain::BuildControls(QWidget* client)
{
    auto label = [client](const char* name, const char* text, QRect place) {
        auto* widget = new QLabel(QString::fromLatin1(text), client);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(place);
        return widget;
    };
    lblCurResFile_ = label("lblCurResFile", kResFileCaption, {8, 56, 401, 17});
    lblCurExeFile_ = label("lblCurExeFile", kExeFileCaption, {8, 80, 401, 17});
    wFolder_ = label("wFolder", kFolderCaption, {8, 104, 0, 0});
    compLab_ = label("CompLab", kCompilerCaption, {8, 128, 0, 0});
    label("lblResList", "List of Resources", {8, 176, 169, 25})->setFont(HeadingFont());
    label("lblComMess", "Compiler Messages", {8, 336, 169, 25})->setFont(HeadingFont());

    lstResList_ = new QListView(client);
    lstResList_->setObjectName(QStringLiteral("lstResList"));
    lstResList_->setGeometry(16, 201, 481, 121);
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
    memCompilerMess_->setGeometry(16, 360, 481, 65);
    memCompilerMess_->setReadOnly(true);
    memCompilerMess_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memCompilerMess_->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    auto* sBar = new QStatusBar(client);
    sBar->setObjectName(QStringLiteral("SBar"));
    sBar->setGeometry(0, kClientHeight - 21, kClientWidth, 21);
    sBar->setSizeGripEnabled(false);
    const int widths[3] = {245, 245, 20};
    for (int panel = 0; panel < 3; ++panel) {
        auto* text = new QLabel(sBar);
        text->setObjectName(QStringLiteral("SBarPanel%1").arg(panel));
        text->setFixedWidth(widths[panel]);
        text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        sBar->addWidget(text);
        statusPanels_[panel] = text;
    }

    panel1_ = new QWidget(client);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setGeometry(208, 120, 233, 57);
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
    web_ = CreateLink(panel1_, shell_, "web", QRect(32, 8, 169, 17), LinkType::ltURL, kMakerWebAddress);
    email_ = CreateLink(panel1_, shell_, "email", QRect(32, 32, 151, 17), LinkType::ltEMAIL, kMakerMailAddress);
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
    const bool designed = state.commands == CommandState::AsDesigned;
    const bool open = state.commands == CommandState::ScriptOpen;
    for (QAction* action : closedStateActions_)
        action->setEnabled(designed || !open);
    for (QWidget* button : closedStateButtons_)
        button->setEnabled(designed || !open);
    for (QAction* action : openStateActions_)
        action->setEnabled(designed || open);
    for (QWidget* button : openStateButtons_)
        button->setEnabled(designed || open);
    startwithLast_->setChecked(state.startWithLast);
    showprogress_->setChecked(state.showProgress);
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

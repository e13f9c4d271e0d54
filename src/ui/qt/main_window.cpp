// The main window: its controls, the first activation, the two states and the script commands.
#include "ui/qt/main_window.h"

#include "workbench/error_report.h"
#include "ui/qt/script_list_model.h"
#include "ui/qt/about_box.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "script/redirect.h"
#include "script/resource_line.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <limits>
#include <stdexcept>
#include <string_view>

// The pictures live in a resource file of a static library, which the linker would otherwise
// leave out; this registers them. It must be called outside any namespace.
static void InitPictures()
{
    Q_INIT_RESOURCE(brevok);
}

namespace brevok {

namespace {

constexpr const char* kResFileCaption = "Current Resource File:";
constexpr const char* kExeFileCaption = "Current Executable File:";
constexpr const char* kFolderCaption = "Working (Install) Folder:";
constexpr const char* kScriptFilePrefix = "Current Resource Script File: ";
constexpr const char* kExeFilePrefix = "Current Executable File: ";
constexpr const char* kNoFileOpen = "No file open";
constexpr const char* kCaptureFile = "message.tmp";

QString FromBytes(const std::string& bytes)
{
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

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

/// The initial folder Open leaves in OpenRC: the script's folder without its final
/// separator, except for a root folder ("C:\", "/"), which keeps it.
std::string DialogFolderOf(const std::string& path)
{
    std::string folder = FolderPart(path);
    const bool windowsRoot = kHostPathStyle == PathStyle::Windows && folder.size() == 3 && folder[1] == ':';
    if (folder.size() > 1 && !windowsRoot && IsPathSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

}  // namespace

TfrmResmain::TfrmResmain(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services))
{
    InitPictures();
    setObjectName(QStringLiteral("frmResmain"));
    setWindowTitle(QStringLiteral("Resource Compiler"));
    setFont(WindowFont());
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/brevok16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/images/brevok32.png"), QSize(32, 32));
    setWindowIcon(icon);
    // A single fixed border: minimise and close, no maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    BuildMenus();
    BuildToolBar(client);
    BuildControls(client);
    InitDialogStates();
    setFixedSize(sizeHint());
    memCompilerMess_->setFocus();
}

TfrmResmain::~TfrmResmain()
{
    // The model listens to document_, which is gone before the children are deleted.
    lstResList_->removeEventFilter(this);
    lstViewport_->removeEventFilter(this);
    lstResList_->setModel(nullptr);
    delete model_;
    if (busyDepth_ > 0)
        QApplication::restoreOverrideCursor();
}

void TfrmResmain::BuildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* fileNew = AddMenuCommand(file, "mnuFileNew", "&New", &TfrmResmain::mnuFileNewClick);
    QAction* fileOpen = AddMenuCommand(file, "mnuFileOpen", "&Open", &TfrmResmain::mnuFileOpenClick);
    QAction* fileClose = AddMenuCommand(file, "mnuFileClose", "C&lose", &TfrmResmain::mnuFileCloseClick);
    file->addSeparator();
    QAction* select = AddMenuCommand(file, "mnuFileSelect", "&Add File", &TfrmResmain::mnuFileSelectClick);
    QAction* remove = AddMenuCommand(file, "mnuFileRemoveLine", "&Remove File",
                                     &TfrmResmain::mnuFileRemoveLineClick);
    file->addSeparator();
    AddMenuCommand(file, "mnuFileExit", "&Exit", &TfrmResmain::mnuFileExitClick);

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    // The two options are check marks that the menu inverts itself when clicked.
    startwithLast_ = options->addAction(QStringLiteral("Start with last Project"));
    startwithLast_->setObjectName(QStringLiteral("StartwithLast"));
    startwithLast_->setCheckable(true);
    AddMenuCommand(options, "FindCompiler1", "&Find Compiler", &TfrmResmain::FindCompiler1Click);
    showprogress_ = options->addAction(QStringLiteral("Show Compiler progress"));
    showprogress_->setObjectName(QStringLiteral("Showprogress"));
    showprogress_->setCheckable(true);
    AddMenuCommand(options, "SetWorkingFolder1", "Set Working Folder",
                   &TfrmResmain::SetWorkingFolder1Click);
    QAction* selectExe = AddMenuCommand(options, "mnuFileSelectExe", "Select &Exe to Bind",
                                        &TfrmResmain::mnuFileSelectExeClick);

    QMenu* actions = bar->addMenu(QStringLiteral("&Actions"));
    actions->setObjectName(QStringLiteral("mnuActions"));
    QAction* compile = AddMenuCommand(actions, "mnuFileCompile", "&Compile", &TfrmResmain::mnuFileCompileClick);
    QAction* build = AddMenuCommand(actions, "mnuFileBuildAll", "&Build All", &TfrmResmain::mnuFileBuildAllClick);
    actions->addSeparator();
    AddMenuCommand(actions, "Redirectsourcefilestoworkingfolder1", "Re-direct source files to working folder",
                   &TfrmResmain::Redirectsourcefilestoworkingfolder1Click);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    AddMenuCommand(help, "Help1", "&Help", &TfrmResmain::Help1Click);
    AddMenuCommand(help, "About1", "&About", &TfrmResmain::About1Click);
    help->addSeparator();
    AddMenuCommand(help, "emailHalvane1", "e-mail Halvane", &TfrmResmain::emailHalvane1Click);
    AddMenuCommand(help, "HalvaneontheWeb1", "Halvane on the Web", &TfrmResmain::HalvaneontheWeb1Click);

    closedStateActions_ = {fileNew, fileOpen};
    openStateActions_ = {fileClose, selectExe, select, remove, compile, build};
}

QAction* TfrmResmain::AddMenuCommand(QMenu* menu, const char* name, const char* text,
                                     void (TfrmResmain::*handler)())
{
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] { RunCommand(handler); });
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
    AddToolButton("tlbExit", "Exit", 9, &TfrmResmain::mnuFileExitClick);
    gap(41);
    QToolButton* newButton = AddToolButton("tlbNew", "New Resource Script", 0, &TfrmResmain::mnuFileNewClick);
    QToolButton* openButton = AddToolButton("tlbOpen", "Open Resource Script", 1, &TfrmResmain::mnuFileOpenClick);
    QToolButton* closeButton = AddToolButton("tlbClose", "Close Resource Script", 2, &TfrmResmain::mnuFileCloseClick);
    QToolButton* exeButton = AddToolButton("tlbSelectExe", "Select Executable to bind to", 7,
                                           &TfrmResmain::mnuFileSelectExeClick);
    QToolButton* addButton = AddToolButton("tlbSelectFile", "Add a file to resources", 3,
                                           &TfrmResmain::mnuFileSelectClick);
    QToolButton* removeButton = AddToolButton("tlbRemoveFile", "Remove a file from resources", 10,
                                              &TfrmResmain::mnuFileRemoveLineClick);
    QToolButton* compileButton = AddToolButton("tlbCompile", "Compile resource file", 8,
                                               &TfrmResmain::mnuFileCompileClick);
    QToolButton* buildButton = AddToolButton("tlbBuild", "Build All", 6, &TfrmResmain::mnuFileBuildAllClick);
    gap(40);
    AddToolButton("tlbHelp", "Help", 5, &TfrmResmain::Help1Click);

    closedStateButtons_ = {newButton, openButton};
    openStateButtons_ = {closeButton, exeButton, addButton, removeButton, compileButton, buildButton};
}

QToolButton* TfrmResmain::AddToolButton(const char* name, const char* hint, int picture,
                                        void (TfrmResmain::*handler)())
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
    connect(button, &QToolButton::clicked, this, [this, handler] { RunCommand(handler); });
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
    wFolder_->adjustSize();
    compLab_ = label("CompLab", "Compiler", {8, 128, 0, 0});
    compLab_->adjustSize();
    lblResList_ = label("lblResList", "List of Resources", {8, 176, 169, 25});
    lblResList_->setFont(HeadingFont());
    lblComMess_ = label("lblComMess", "Compiler Messages", {8, 336, 169, 25});
    lblComMess_->setFont(HeadingFont());

    lstResList_ = new QListView(client);
    lstResList_->setObjectName(QStringLiteral("lstResList"));
    lstResList_->setGeometry(16, 201, 481, 121);
    lstResList_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstResList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One row height for all rows: the view then never measures rows it does not draw.
    lstResList_->setUniformItemSizes(true);
    model_ = new ScriptListModel(document_, this);
    lstResList_->setModel(model_);
    lstViewport_ = lstResList_->viewport();
    lstResList_->installEventFilter(this);
    lstViewport_->installEventFilter(this);

    memCompilerMess_ = new QPlainTextEdit(client);
    memCompilerMess_->setObjectName(QStringLiteral("memCompilerMess"));
    memCompilerMess_->setGeometry(16, 360, 481, 65);
    memCompilerMess_->setReadOnly(true);
    memCompilerMess_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memCompilerMess_->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    sBar_ = new QStatusBar(client);
    sBar_->setObjectName(QStringLiteral("SBar"));
    sBar_->setGeometry(0, kClientHeight - 21, kClientWidth, 21);
    sBar_->setSizeGripEnabled(false);
    const int widths[3] = {245, 245, 20};
    for (int panel = 0; panel < 3; ++panel) {
        auto* text = new QLabel(sBar_);
        text->setObjectName(QStringLiteral("SBarPanel%1").arg(panel));
        text->setFixedWidth(widths[panel]);
        text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        sBar_->addWidget(text);
        statusPanels_[panel] = text;
    }

    batchText_ = new QPlainTextEdit(client);
    batchText_->setObjectName(QStringLiteral("BatchText"));
    batchText_->setGeometry(8, 128, 505, 49);
    batchText_->setFocusPolicy(Qt::NoFocus);
    batchText_->hide();

    panel1_ = new QWidget(client);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setGeometry(208, 120, 233, 57);
    panel1_->hide();
    CreateAboutComponents();

    setTabOrder(memCompilerMess_, lstResList_);
}

void TfrmResmain::InitDialogStates()
{
    openRC_.filter = "Resource File [*.RC]|*.RC";
    openRC_.defaultExtension = "*.RC";
    openRC_.pathMustExist = true;

    browseComp_.title = "Locate BRCC32";
    browseComp_.filter = "Executable [*.exe]|*.exe";
    browseComp_.defaultExtension = "*.exe";
    browseComp_.fileName = "BRCC32.exe";
    if (kHostPathStyle == PathStyle::Posix) {
        // Here the companion compiler front end lies beside the program, without ".exe".
        browseComp_.initialFolder = FolderPart(services_.programPath);
        browseComp_.offerPlainExecutables = true;
    }

    // The root of the system drive, where the first Add File starts.
    constexpr std::string_view kFirstDataFolder = kHostPathStyle == PathStyle::Windows ? "c:\\" : "/";
    cdgFileDialog_.initialFolder = std::string(kFirstDataFolder);
    cdgFileDialog_.pathMustExist = true;

    setWork_.title = "Select Working Folder";
    setWork_.defaultExtension = "*.*";
    setWork_.noValidate = true;
}

// --- the first activation -------------------------------------------------------------------

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
    if (activated_ || activationQueued_)
        return;
    activationQueued_ = true;
    // After the event that asked for it, so that boxes of the sequence open over a painted window.
    QTimer::singleShot(0, this, [this] { Activate(); });
}

void TfrmResmain::Activate()
{
    if (activated_)
        return;
    activated_ = true;
    if (RunReported(services_.dialogs, [this] { FormActivateSteps(); }))
        return;
    // The steps after the failure did not run. Whatever was loaded, no script is open now, so
    // no later command can save an empty list over a script the user never saw.
    RunReported(services_.dialogs, [this] { SetScriptOpen(false); });
}

void TfrmResmain::FormActivateSteps()
{
    const std::string version = aboutBox_->GetFileVersion();
    setWindowTitle(FromBytes(std::string(kApplicationTitle) + " Version " + version + "  by Halvane"));
    SetAboutBoxFile();

    try {
        LoadSettings(services_.registry, settings_);
    } catch (...) {
        // The values read before the failing one are in force, the options among them.
        ApplyOptionMarks();
        ShowRegistryNotice();
        throw;
    }
    ApplyOptionMarks();
    ShowRegistryNotice();

    SetCompilerLabel();
    if (settings_.CompilerPath == "none") {
        const BoxAnswer answer =
            services_.dialogs.MessageBox(BoxKind::Warning, kCompilerUnknownText, BoxButtons::YesNo);
        if (answer == BoxAnswer::Yes && services_.dialogs.OpenFile(browseComp_))
            settings_.CompilerPath = browseComp_.fileName;
        SetCompilerLabel();
    }

    wFolder_->setText(wFolder_->text() + QLatin1Char(' ') + FromBytes(settings_.WorkingFolder));
    wFolder_->adjustSize();
    settings_.WorkingFolder = EnsureTrailingBackslash(settings_.WorkingFolder);
    openRC_.initialFolder = settings_.WorkingFolder;

    if (StartWithLastChecked() && FileExists(settings_.ScriptPath)) {
        LoadScriptLines(document_, settings_.ScriptPath);
        openRC_.initialFolder = FolderPart(settings_.ScriptPath);
        SetScriptOpen(true);
    } else {
        SetScriptOpen(false);
    }
}

void TfrmResmain::ApplyOptionMarks()
{
    startwithLast_->setChecked(settings_.StartWithLast);
    showprogress_->setChecked(settings_.ShowProgress);
}

void TfrmResmain::ShowRegistryNotice()
{
    const std::string notice = services_.registry.TakeNotice();
    if (!notice.empty())
        services_.dialogs.MessageBox(BoxKind::Information, notice, BoxButtons::Ok);
}

void TfrmResmain::SetCompilerLabel()
{
    compLab_->setText(FromBytes("Compiler " + settings_.CompilerPath));
    compLab_->adjustSize();
}

void TfrmResmain::SetLabelText(QLabel* label, const std::string& text)
{
    label->setText(FromBytes(text));
}

// --- the two states ---------------------------------------------------------------------------

void TfrmResmain::SetScriptOpen(bool open)
{
    for (QAction* action : closedStateActions_)
        action->setEnabled(!open);
    for (QWidget* button : closedStateButtons_)
        button->setEnabled(!open);
    for (QAction* action : openStateActions_)
        action->setEnabled(open);
    for (QWidget* button : openStateButtons_)
        button->setEnabled(open);
    memCompilerMess_->clear();
    if (open) {
        if (!settings_.ScriptPath.empty())
            SetLabelText(lblCurResFile_, kScriptFilePrefix + settings_.ScriptPath);
        if (!settings_.ExePath.empty())
            SetLabelText(lblCurExeFile_, kExeFilePrefix + settings_.ExePath);
    } else {
        SetLabelText(lblCurResFile_, std::string(kScriptFilePrefix) + kNoFileOpen);
        SetLabelText(lblCurExeFile_, std::string(kExeFilePrefix) + kNoFileOpen);
        cdgFileDialog_.fileName.clear();
        document_.Clear();
        settings_.ScriptPath.clear();
        settings_.ExePath.clear();
    }
    statusPanels_[0]->setText(FromBytes(settings_.ScriptPath));
}

// --- New, Open, Close, Exit -------------------------------------------------------------------

void TfrmResmain::mnuFileNewClick()
{
    for (;;) {
        if (!settings_.ScriptPath.empty())
            return;
        openRC_.title = "Start a new resource script file";
        if (!services_.dialogs.OpenFile(openRC_) || openRC_.fileName.empty())
            return;
        if (FileExists(openRC_.fileName)) {
            // An existing file never becomes the new script; the dialog opens again on its name.
            services_.dialogs.MessageBox(BoxKind::Error, kNewFileNameText, BoxButtons::Ok);
            continue;
        }
        settings_.ScriptPath = openRC_.fileName;
        SetScriptOpen(true);
        return;
    }
}

void TfrmResmain::mnuFileOpenClick()
{
    if (!settings_.ScriptPath.empty())
        return;
    openRC_.title = "Open Resource script file";
    if (!services_.dialogs.OpenFile(openRC_) || openRC_.fileName.empty())
        return;
    settings_.ScriptPath = openRC_.fileName;
    SetScriptOpen(true);
    try {
        LoadScriptLines(document_, settings_.ScriptPath);
    } catch (...) {
        // A name that does not exist yet stays open as a new script, which a later save
        // creates. A file that exists but cannot be read is closed again: saving the empty
        // list over it would destroy it.
        if (FileExists(settings_.ScriptPath))
            SetScriptOpen(false);
        throw;
    }
    openRC_.initialFolder = DialogFolderOf(settings_.ScriptPath);
}

void TfrmResmain::mnuFileCloseClick()
{
    if (settings_.ScriptPath.empty())
        return;
    const BoxAnswer answer =
        services_.dialogs.MessageBox(BoxKind::Confirmation, kSaveChangesText, BoxButtons::YesNoCancel);
    if (answer == BoxAnswer::Cancel)
        return;
    if (answer == BoxAnswer::Yes)
        SaveScriptLines(document_, settings_.ScriptPath);
    SetScriptOpen(false);
}

bool TfrmResmain::AskSaveBeforeEnding(bool exitCommand)
{
    // Exit asks when a key was typed in the list (ResourcesChanged), as it always did, and
    // also when any line command changed the lines since they were loaded or saved; the
    // close box asks in the second case.
    const bool changed = document_.Modified() || (exitCommand && resourcesChanged_);
    if (settings_.ScriptPath.empty() || !changed)
        return true;
    const BoxAnswer answer = services_.dialogs.MessageBox(BoxKind::Confirmation, kSaveBeforeExitText,
                                                          BoxButtons::YesNoCancel);
    if (answer == BoxAnswer::Cancel)
        return false;
    if (answer == BoxAnswer::Yes)
        SaveScriptLines(document_, settings_.ScriptPath);
    return true;
}

void TfrmResmain::mnuFileExitClick()
{
    if (!AskSaveBeforeEnding(true))
        return;
    // Before the first activation has normalised it, the folder may be empty: then there is
    // no capture file of ours to delete.
    if (!settings_.WorkingFolder.empty())
        DeleteFileQuietly(settings_.WorkingFolder + kCaptureFile);
    exiting_ = true;
    close();
    exiting_ = false;
}

void TfrmResmain::closeEvent(QCloseEvent* event)
{
    if (!exiting_) {
        bool goOn = false;
        const bool asked = RunReported(services_.dialogs, [&] { goOn = AskSaveBeforeEnding(false); });
        if (!asked || !goOn) {
            event->ignore();
            return;
        }
    }
    if (!FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool TfrmResmain::FormClose()
{
    settings_.StartWithLast = StartWithLastChecked();
    settings_.ShowProgress = ShowProgress();
    // Settings that were never loaded are not written over the stored ones.
    if (!activated_)
        return true;
    return RunReported(services_.dialogs, [this] { SaveSettings(services_.registry, settings_); });
}

// --- the list -----------------------------------------------------------------------------------

bool TfrmResmain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstResList_ && event->type() == QEvent::KeyPress) {
        if (IsCharacterKey(*static_cast<QKeyEvent*>(event)))
            RunCommand(&TfrmResmain::lstResListKeyPress);
        return false;  // the key keeps the list's own meaning
    }
    if (watched == lstViewport_ && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        RunCommand(&TfrmResmain::lstResListClick);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmResmain::lstResListKeyPress()
{
    const std::size_t lines = document_.LineCount();
    const auto limit = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    settings_.LineCount = static_cast<std::int32_t>(lines < limit ? lines : limit);
    resourcesChanged_ = true;
    document_.MarkModified();
}

int TfrmResmain::SelectedLine() const
{
    const QModelIndexList rows = lstResList_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TfrmResmain::SelectLine(int index)
{
    if (index < 0 || index >= model_->rowCount()) {
        lstResList_->clearSelection();
        return;
    }
    lstResList_->setCurrentIndex(model_->index(index));
}

void TfrmResmain::lstResListClick()
{
    const int index = SelectedLine();
    if (index < 0)
        return;
    const auto row = static_cast<std::size_t>(index);
    std::string text = document_.Line(row);
    if (!services_.dialogs.EditLine(text) || text == document_.Line(row))
        return;
    document_.Replace(row, std::move(text));
}

// --- Add File, Remove File, Re-direct -------------------------------------------------------------

bool TfrmResmain::ChooseExistingFile(std::string_view title, std::string_view filter)
{
    // The shared dialog keeps only its initial folder between uses; everything else is set
    // afresh by each command.
    cdgFileDialog_.title = std::string(title);
    cdgFileDialog_.filter = std::string(filter);
    cdgFileDialog_.defaultExtension.clear();
    cdgFileDialog_.fileName.clear();
    cdgFileDialog_.hideReadOnly = true;
    cdgFileDialog_.pathMustExist = true;
    cdgFileDialog_.fileMustExist = true;
    cdgFileDialog_.noValidate = false;
    cdgFileDialog_.resizable = false;
    return services_.dialogs.OpenFile(cdgFileDialog_) && !cdgFileDialog_.fileName.empty();
}

void TfrmResmain::mnuFileSelectClick()
{
    if (!ChooseExistingFile(kAddFileDialogTitle, kAddFileFilter))
        return;
    const std::string path = cdgFileDialog_.fileName;
    // The next Add File and the next executable selection start in this folder, even when
    // the naming below is abandoned.
    cdgFileDialog_.initialFolder = FolderPart(path);
    const std::string type = ResourceTypeForPath(path);

    for (;;) {
        const std::string name = services_.dialogs.InputText(
            std::string(kResourceNameCaption), std::string(kResourceNamePrompt),
            static_cast<int>(kMaxResourceNameLength));
        if (name.empty())
            return;
        if (IsValidResourceName(name)) {
            document_.Append(BuildResourceLine(name, type, path));
            return;
        }
        services_.dialogs.MessageBox(BoxKind::Error, std::string(kResourceNameError), BoxButtons::Ok);
    }
}

void TfrmResmain::mnuFileRemoveLineClick()
{
    const int index = SelectedLine();
    if (index < 0)
        return;
    document_.Remove(static_cast<std::size_t>(index));
}

void TfrmResmain::Redirectsourcefilestoworkingfolder1Click()
{
    if (document_.Empty())
        return;
    RedirectScriptPaths(document_, settings_.WorkingFolder);
}

// --- Options ------------------------------------------------------------------------------------

void TfrmResmain::StartwithLastClick()
{
    startwithLast_->toggle();
}

void TfrmResmain::ShowprogressClick()
{
    showprogress_->toggle();
}

bool TfrmResmain::StartWithLastChecked() const
{
    return startwithLast_->isChecked();
}

bool TfrmResmain::ShowProgress() const
{
    return showprogress_->isChecked();
}

void TfrmResmain::FindCompiler1Click()
{
    if (!services_.dialogs.OpenFile(browseComp_))
        return;
    settings_.CompilerPath = browseComp_.fileName;
    SetCompilerLabel();
}

void TfrmResmain::SetWorkingFolder1Click()
{
    if (!services_.dialogs.OpenFile(setWork_))
        return;
    settings_.WorkingFolder = FolderPart(setWork_.fileName);
    wFolder_->setText(QString::fromLatin1(kFolderCaption) + QLatin1Char(' ') + FromBytes(settings_.WorkingFolder));
    wFolder_->adjustSize();
}

void TfrmResmain::mnuFileSelectExeClick()
{
    if (settings_.ScriptPath.empty())
        return;
    if (!ChooseExistingFile("Select executable to bind resource file to", "Executable File (*.EXE)|*.EXE"))
        return;
    settings_.ExePath = cdgFileDialog_.fileName;
    SetLabelText(lblCurExeFile_, kExeFilePrefix + settings_.ExePath);
}

// --- what the compiler commands use ------------------------------------------------------------

bool TfrmResmain::RunCommand(void (TfrmResmain::*handler)())
{
    return RunReported(services_.dialogs, [this, handler] { (this->*handler)(); });
}

ProcessLauncher& TfrmResmain::Launcher()
{
    if (services_.launcher == nullptr)
        throw std::logic_error("the main window was given no process launcher");
    return *services_.launcher;
}

QString TfrmResmain::StatusPanelText(int panel) const
{
    return panel >= 0 && panel < 3 ? statusPanels_[panel]->text() : QString();
}

void TfrmResmain::ClearMessages()
{
    memCompilerMess_->clear();
}

void TfrmResmain::SetMessages(const std::vector<std::string>& lines)
{
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        shown.push_back(FromBytes(line));
    memCompilerMess_->setPlainText(shown.join(QLatin1Char('\n')));
}

void TfrmResmain::AddMessage(const std::string& line)
{
    memCompilerMess_->appendPlainText(FromBytes(line));
}

void TfrmResmain::SetBatchText(const std::string& text)
{
    // The widget shows the text; the bytes are kept as given, CR LF line ends included, since
    // a text edit would hand them back with LF alone.
    batchBytes_ = text;
    batchText_->setPlainText(FromBytes(text));
}

std::string TfrmResmain::BatchText() const
{
    return batchBytes_;
}

void TfrmResmain::BeginBusyCursor()
{
    if (busyDepth_++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TfrmResmain::EndBusyCursor()
{
    if (busyDepth_ > 0 && --busyDepth_ == 0)
        QApplication::restoreOverrideCursor();
}

void TfrmResmain::ProcessPendingMessages()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace brevok

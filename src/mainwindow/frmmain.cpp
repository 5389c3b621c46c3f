#include "mainwindow/frmmain.h"

#include "config/frmudchar.h"
#include "link/portaccess.h"
#include "mainwindow/lists.h"
#include "platform/appicon.h"
#include "platform/fonts.h"
#include "platform/linesettings.h"
#include "platform/placement.h"
#include "platform/portsettings.h"
#include "trafficlog/displaymirror.h"
#include "trafficlog/trafficwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

namespace torvika {

namespace {

// Fills a list from its table entry, first item selected.
QComboBox *fillList(const layout::Controls &controls, const char *name) {
    auto *list = controls.get<QComboBox>(name);
    list->addItems(listSpec(name).items);
    list->setCurrentIndex(0);
    return list;
}

} // namespace

FrmMain::FrmMain(ModVariables &vars, ModIni &ini, SerialPort &port, MessageBoxes &boxes,
                 QWidget *parent)
    : QMainWindow(parent), vars_(vars), ini_(ini), port_(port), boxes_(boxes),
      mainPort_(port, recorder_, TrafficSource::MainWindow),
      dialogPort_(port, recorder_, TrafficSource::Dialog),
      mirror_(std::make_unique<trafficlog::DisplayMirror>(recorder_)),
      transmitter_(vars, mainPort_, boxes, *this, this) {
    port_.setObserver(&recorder_);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("TORVIKA Serial LCD"));
    setWindowIcon(appIcon());
    setFont(layoutFont(layout::FontSpec{}));
    transmitter_.setObjectName(QStringLiteral("Timer1"));

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMainClient"));
    client->setFixedSize(layout::px(FrmMainClientWidth), layout::px(FrmMainClientHeight));
    setCentralWidget(client);
    controls_ = layout::build(client, frmMainLayout());
    accessibility::nameControls(controls_, frmMainSpokenNames());

    mnuConfig_ = menuBar()->addAction(QStringLiteral("Config LCD"));
    mnuConfig_->setObjectName(QStringLiteral("mnuConfig"));
    // Alt+C as a mnemonic would underline the C of the caption in most styles.
    mnuConfig_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    new accessibility::MenuBarKeys(menuBar());
    connect(mnuConfig_, &QAction::triggered, this, &FrmMain::mnuConfig_Click);
    mnuTrafficLog_ = menuBar()->addAction(QStringLiteral("Traffic Log"));
    mnuTrafficLog_->setObjectName(QStringLiteral("mnuTrafficLog"));
    mnuTrafficLog_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(mnuTrafficLog_, &QAction::triggered, this, &FrmMain::mnuTrafficLog_Click);

    // clicked, not toggled: only the user's choice runs the handlers.
    connect(controls_.get<QRadioButton>("opt9600"), &QRadioButton::clicked, this,
            &FrmMain::opt9600_Click);
    connect(controls_.get<QRadioButton>("opt19200"), &QRadioButton::clicked, this,
            &FrmMain::opt19200_Click);
    connect(controls_.get<QComboBox>("cboComm"), &QComboBox::activated, this,
            &FrmMain::cboComm_Click);
    controls_.get<QComboBox>("cboComm")->installEventFilter(this);

    Form_Load();
    connectCommandPanels();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

FrmMain::~FrmMain() {
    port_.setObserver(nullptr);
}

void FrmMain::Form_Load() {
    auto *cboComm = fillList(controls_, "cboComm");
    for (const char *name : {"cboColumn", "cboRow"})
        fillList(controls_, name);

    asRead_ = readRemembered(
        [this](const QString &section, const QString &key) { return ini_.ReadINI(section, key); });
    const StartValues start = resolveStartValues(asRead_, lineSettingsProblem);
    // The remembered values go back to the file exactly as they were read.
    const QList<SettingsEntry> remembered = closeWriteBack(asRead_);
    vars_.SavedCommPort = remembered[0].value;
    vars_.SavedSetting = remembered[1].value;
    vars_.SavedBL = static_cast<std::int16_t>(start.backlight);

    cboComm->setCurrentIndex(start.commPort - FirstPort);
    {
        // Restoring the slider is not a user's choice: it sends nothing.
        auto *slider = controls_.get<QSlider>("Backlightlevel");
        const QSignalBlocker quiet(slider);
        slider->setValue(start.backlight);
    }
    if (start.setting.startsWith(QString::number(protocol::ModuleSpeedLow)))
        controls_.get<QRadioButton>("opt9600")->setChecked(true);
    else
        controls_.get<QRadioButton>("opt19200")->setChecked(true);

    fillList(controls_, "cboCursor");

    mainPort_.setCommPort(start.commPort);
    mainPort_.setSettings(start.setting);
    mainPort_.setInputModeBinary();

    for (const char *name : {"cboOut1", "cboOut2", "cboOut3", "cboGraph"})
        fillList(controls_, name);

    settingsProblems_ = startMessage(ini_.fileName(), ini_.fileProblem(), start.problems);
}

void FrmMain::Form_Unload() {
    QString failed;
    for (const SettingsEntry &entry : closeWriteBack(asRead_))
        if (!ini_.WriteINI(entry.section, entry.key, entry.value) && failed.isEmpty())
            failed = ini_.lastWriteProblem();
    // Silently losing the settings would surprise the user at the next start.
    if (!failed.isEmpty())
        boxes_.information(AppTitle, QStringLiteral("The settings could not be saved to %1: %2.")
                                         .arg(ini_.fileName(), failed));
}

void FrmMain::closePortFor(const QString &cause) {
    if (!mainPort_.isOpen())
        return;
    portClosedBy_ = cause;
    mainPort_.closeBecause(cause);
}

void FrmMain::changeLineSpeed(const QString &settings, const QString &option) {
    closePortFor(QStringLiteral("the line-speed change to ") + option);
    mainPort_.setSettings(settings);
}

void FrmMain::opt9600_Click() {
    changeLineSpeed(protocol::lineSettingsText(protocol::ModuleSpeedLow),
                    controls_.get<QRadioButton>("opt9600")->text());
}

void FrmMain::opt19200_Click() {
    changeLineSpeed(protocol::lineSettingsText(protocol::ModuleSpeedHigh),
                    controls_.get<QRadioButton>("opt19200")->text());
}

void FrmMain::cboComm_Click(int index) {
    // Takes effect for this run only; the file keeps the number read at start.
    if (index < 0 || index > LastPort - FirstPort)
        return;
    closePortFor(QStringLiteral("the choice of port %1").arg(index + FirstPort));
    mainPort_.setCommPort(index + FirstPort);
}

void FrmMain::refreshPortToolTips() {
    auto *list = controls_.get<QComboBox>("cboComm");
    QStringList paths;
    for (int n = FirstPort; n <= LastPort; ++n)
        paths << port_.deviceFor(n);
    const QList<PortDevice> devices = probePortDevices(paths);
    for (int i = 0; i < list->count() && i < devices.size(); ++i)
        list->setItemData(i, portToolTip(i + 1, devices[i]), Qt::ToolTipRole);
    list->setToolTip(list->currentData(Qt::ToolTipRole).toString());
}

void FrmMain::mnuConfig_Click() {
    if (!dialog_)
        dialog_ = std::make_unique<FrmUDChar>(dialogPort_, boxes_);
    dialog_->showDialog();
}

void FrmMain::mnuTrafficLog_Click() {
    // Built on first use, so the start costs nothing more; the recorder ran from start.
    if (!trafficWindow_)
        trafficWindow_ = std::make_unique<trafficlog::TrafficWindow>(recorder_, *mirror_, boxes_);
    trafficWindow_->showWindow();
}

void FrmMain::clearTrace() {
    controls_.get<QLabel>("lblTxData")->clear();
    controls_.get<QLabel>("lblRxData")->clear();
}

void FrmMain::appendTransmitted(const QString &text) {
    auto *label = controls_.get<QLabel>("lblTxData");
    label->setText(label->text() + text);
}

void FrmMain::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnFirstShow(*this, centred_);
    if (!settingsProblems_.isEmpty()) {
        // After the window is on screen, so the message has something to stand over.
        QTimer::singleShot(0, this, [this] {
            const QString text = std::exchange(settingsProblems_, QString());
            if (!text.isEmpty())
                boxes_.information(AppTitle, text);
        });
    }
}

void FrmMain::closeEvent(QCloseEvent *event) {
    if (!closed_) {
        closed_ = true;
        Form_Unload();
    }
    if (dialog_)
        dialog_->close();
    if (trafficWindow_)
        trafficWindow_->close();
    event->accept();
}

} // namespace torvika

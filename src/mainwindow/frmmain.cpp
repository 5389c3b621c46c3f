#include "mainwindow/frmmain.h"

#include "config/frmudchar.h"
#include "link/portaccess.h"
#include "mainwindow/portsettings.h"
#include "mainwindow/startvalues.h"
#include "platform/appicon.h"
#include "platform/fonts.h"
#include "platform/linesettings.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

namespace torvika {

namespace {

const QString Setting9600 = QStringLiteral("9600,n,8,1");
const QString Setting19200 = QStringLiteral("19200,n,8,1");

void fillNumbers(QComboBox *list, int first, int last) {
    for (int n = first; n <= last; ++n)
        list->addItem(QString::number(n));
}

} // namespace

FrmMain::FrmMain(ModVariables &vars, ModIni &ini, SerialPort &port, MessageBoxes &boxes,
                 QWidget *parent)
    : QMainWindow(parent), vars_(vars), ini_(ini), port_(port), boxes_(boxes),
      transmitter_(vars, port, boxes, *this, this) {
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

    mnuConfig_ = menuBar()->addAction(QStringLiteral("Config LCD"));
    mnuConfig_->setObjectName(QStringLiteral("mnuConfig"));
    connect(mnuConfig_, &QAction::triggered, this, &FrmMain::mnuConfig_Click);

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

FrmMain::~FrmMain() = default;

void FrmMain::Form_Load() {
    auto *cboComm = controls_.get<QComboBox>("cboComm");
    auto *cboColumn = controls_.get<QComboBox>("cboColumn");
    auto *cboRow = controls_.get<QComboBox>("cboRow");
    fillNumbers(cboComm, FirstPort, LastPort);
    fillNumbers(cboColumn, 0, 15);
    fillNumbers(cboRow, 0, 1);
    cboRow->setCurrentIndex(0);
    cboColumn->setCurrentIndex(0);

    const QString commText = ini_.ReadINI(QStringLiteral("Settings"), QStringLiteral("CommPort"));
    const QString settingText = ini_.ReadINI(QStringLiteral("Settings"), QStringLiteral("Setting"));
    blTextAsRead_ = ini_.ReadINI(QStringLiteral("LCD"), QStringLiteral("BL"));
    const StartValues start =
        resolveStartValues(commText, settingText, blTextAsRead_, lineSettingsProblem);
    // The remembered values go back to the file exactly as they were read.
    vars_.SavedCommPort = commText.isEmpty() ? DefaultCommPort : commText;
    vars_.SavedSetting = settingText.isEmpty() ? DefaultSetting : settingText;
    vars_.SavedBL = static_cast<std::int16_t>(start.backlight);

    cboComm->setCurrentIndex(start.commPort - 1);
    {
        // Restoring the slider is not a user's choice: it sends nothing.
        auto *slider = controls_.get<QSlider>("Backlightlevel");
        const QSignalBlocker quiet(slider);
        slider->setValue(start.backlight);
    }
    if (start.setting.left(4) == QLatin1String("9600"))
        controls_.get<QRadioButton>("opt9600")->setChecked(true);
    else
        controls_.get<QRadioButton>("opt19200")->setChecked(true);

    auto *cboCursor = controls_.get<QComboBox>("cboCursor");
    cboCursor->addItems(
        {QStringLiteral("Underline"), QStringLiteral("Block Blinking"), QStringLiteral("Hide")});
    cboCursor->setCurrentIndex(0);

    port_.setCommPort(start.commPort);
    port_.setSettings(start.setting);
    port_.setInputModeBinary();

    for (const char *name : {"cboOut1", "cboOut2", "cboOut3"}) {
        auto *list = controls_.get<QComboBox>(name);
        list->addItems({QStringLiteral("ON"), QStringLiteral("OFF")});
        list->setCurrentIndex(0);
    }
    auto *cboGraph = controls_.get<QComboBox>("cboGraph");
    fillNumbers(cboGraph, 1, 80);
    cboGraph->setCurrentIndex(0);

    if (const QString problem = ini_.fileProblem(); !problem.isEmpty())
        settingsProblems_ = QStringLiteral("The settings file %1 %2. The panel starts with its "
                                           "defaults and leaves the file as it is.")
                                .arg(ini_.fileName(), problem);
    else if (!start.problems.isEmpty())
        settingsProblems_ = QStringLiteral("Some values in the settings file %1 cannot be used; "
                                           "the file is left as it is.\n\n%2")
                                .arg(ini_.fileName(), start.problems.join(u'\n'));
}

void FrmMain::Form_Unload() {
    const std::pair<QString, QString> keys[] = {
        {QStringLiteral("Settings"), QStringLiteral("CommPort")},
        {QStringLiteral("Settings"), QStringLiteral("Setting")},
        {QStringLiteral("LCD"), QStringLiteral("BL")}};
    const QString values[] = {vars_.SavedCommPort, vars_.SavedSetting,
                              blTextAsRead_.isEmpty() ? QString::number(vars_.SavedBL)
                                                      : blTextAsRead_};
    QString failed;
    for (std::size_t i = 0; i < std::size(keys); ++i)
        if (!ini_.WriteINI(keys[i].first, keys[i].second, values[i]) && failed.isEmpty())
            failed = ini_.lastWriteProblem();
    // Silently losing the settings would surprise the user at the next start.
    if (!failed.isEmpty())
        boxes_.information(AppTitle, QStringLiteral("The settings could not be saved to %1: %2.")
                                         .arg(ini_.fileName(), failed));
}

void FrmMain::changeLineSpeed(const QString &settings) {
    if (port_.isOpen())
        port_.close();
    port_.setSettings(settings);
}

void FrmMain::opt9600_Click() {
    changeLineSpeed(Setting9600);
}

void FrmMain::opt19200_Click() {
    changeLineSpeed(Setting19200);
}

void FrmMain::cboComm_Click(int index) {
    // Takes effect for this run only; the file keeps the number read at start.
    if (index < 0 || index >= LastPort)
        return;
    if (port_.isOpen())
        port_.close();
    port_.setCommPort(index + 1);
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
        dialog_ = std::make_unique<FrmUDChar>(port_, boxes_);
    dialog_->showDialog();
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
    if (!centred_) {
        centred_ = true;
        if (const QScreen *screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
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
    event->accept();
}

} // namespace torvika

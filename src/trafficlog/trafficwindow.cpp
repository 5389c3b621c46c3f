#include "trafficlog/trafficwindow.h"

#include "moduleview/lcdview.h"
#include "platform/accessibility.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace torvika::trafficlog {

namespace {

QString rowsText(const module::DisplayModel &model) {
    QStringList rows;
    for (int r = 0; r < module::Rows; ++r)
        rows << QStringLiteral("Row %1: %2").arg(r).arg(QString::fromLatin1(model.row(r)));
    return rows.join(QStringLiteral("; "));
}

} // namespace

TrafficWindow::TrafficWindow(TrafficRecorder &recorder, DisplayMirror &mirror, MessageBoxes &boxes,
                             QWidget *parent)
    : QWidget(parent, Qt::Window), mirror_(mirror), boxes_(boxes), model_(recorder, mirror) {
    setObjectName(QStringLiteral("frmTrafficLog"));
    setWindowTitle(QStringLiteral("Traffic Log"));
    accessibility::setWindowRole(staticMetaObject, QAccessible::Window);
    auto *layout = new QVBoxLayout(this);

    auto *top = new QHBoxLayout;
    auto *lcd = new moduleview::LcdView(mirror_.model(), this);
    lcd->setObjectName(QStringLiteral("lcdMirror"));
    lcd->setAccessibleName(QStringLiteral("Display mirror"));
    lcd_ = lcd;
    top->addWidget(lcd);
    auto *outputs = new QVBoxLayout;
    outputs->addWidget(new QLabel(QStringLiteral("Outputs"), this));
    lamps_ = new moduleview::OutputLamps(this);
    outputs->addWidget(lamps_);
    outputs->addStretch();
    top->addLayout(outputs);
    top->addStretch();
    layout->addLayout(top);

    auto *note = new QLabel(QStringLiteral("The display as the panel's frames leave it: this shows "
                                           "what the panel has sent since it started, not what "
                                           "the module reports."),
                            this);
    note->setObjectName(QStringLiteral("lblMirrorNote"));
    note->setWordWrap(true);
    layout->addWidget(note);

    trap_ = new QLabel(this);
    trap_->setObjectName(QStringLiteral("lblSpeedTrap"));
    trap_->setWordWrap(true);
    QFont bold = trap_->font();
    bold.setBold(true);
    trap_->setFont(bold);
    showWarningColour();
    trap_->hide();
    layout->addWidget(trap_);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("tblTrafficLog"));
    table_->setAccessibleName(QStringLiteral("Traffic log"));
    table_->setAccessibleDescription(
        QStringLiteral("Every frame sent and every byte received, with its time and meaning"));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for the longest gap that reads in milliseconds or seconds.
    const int gapWidth = fontMetrics().horizontalAdvance(QStringLiteral("+999.999 ms")) + 16;
    const int widths[] = {80, qMax(100, gapWidth), 65, 100, 190};
    for (int c = 0; c < int(std::size(widths)); ++c)
        table_->setColumnWidth(c, widths[c]);
    layout->addWidget(table_, 1);

    // Follows the newest row unless the user has scrolled back. Whether they have is told by
    // where they leave the bar, not by where it stands when rows come: a line appearing above
    // the table grows the bar's range without anyone scrolling.
    QScrollBar *bar = table_->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { following_ = value == bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (following_)
            bar->setValue(maximum);
    });
    connect(&model_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (following_)
            table_->scrollToBottom();
    });

    const struct {
        const char *caption;
        CopyFormat format;
        QKeySequence keys;
    } copies[] = {
        {"Copy as Hex", CopyFormat::Hex, QKeySequence::Copy},
        {"Copy as C Array", CopyFormat::CArray, {}},
        {"Copy as Python Bytes", CopyFormat::Python, {}},
        {"Copy Rows as Text", CopyFormat::Text, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}};
    auto *copyMenu = new QMenu(this);
    for (const auto &c : copies) {
        auto *action = new QAction(QString::fromLatin1(c.caption), this);
        action->setShortcut(c.keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const CopyFormat format = c.format;
        connect(action, &QAction::triggered, this, [this, format] { copySelection(format); });
        copyMenu->addAction(action);
        table_->addAction(action);
    }
    table_->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(caption);
        buttons->addWidget(b);
        return b;
    };
    pause_ = button("cmdPause", QStringLiteral("Pause"));
    pause_->setCheckable(true);
    connect(pause_, &QPushButton::toggled, this, [this](bool paused) {
        model_.setPaused(paused);
        pause_->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
        pause_->setAccessibleName(pause_->text());
    });
    connect(button("cmdClear", QStringLiteral("Clear")), &QPushButton::clicked, &model_,
            &TrafficLogModel::clear);
    button("cmdCopy", QStringLiteral("Copy"))->setMenu(copyMenu);
    connect(button("cmdSaveLog", QStringLiteral("Save...")), &QPushButton::clicked, this,
            &TrafficWindow::save);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(&mirror_, &DisplayMirror::changed, this, &TrafficWindow::mirrorChanged);
    mirrorChanged();
    resize(900, 600);
}

QColor readableWarningColour(const QColor &background) {
    // The warning's dark red where it reads, else the red of the nearest lightness that does.
    const auto luminance = [](const QColor &c) {
        const auto linear = [](float v) {
            return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
        };
        return 0.2126f * linear(c.redF()) + 0.7152f * linear(c.greenF()) +
               0.0722f * linear(c.blueF());
    };
    const float back = luminance(background);
    const auto contrast = [&](const QColor &c) {
        const float l = luminance(c);
        return (qMax(l, back) + 0.05f) / (qMin(l, back) + 0.05f);
    };
    constexpr int Preferred = 88; // lightness of #b00000
    for (int step = 0; step <= 255; ++step)
        for (const int lightness : {Preferred + step, Preferred - step})
            if (lightness >= 0 && lightness <= 255 &&
                contrast(QColor::fromHsl(0, 255, lightness)) >= MinContrast)
                return QColor::fromHsl(0, 255, lightness);
    return back > 0.18f ? QColor(Qt::black) : QColor(Qt::white);
}

void TrafficWindow::changeEvent(QEvent *event) {
    if (event->type() == QEvent::PaletteChange)
        showWarningColour();
    QWidget::changeEvent(event);
}

void TrafficWindow::showWarningColour() {
    if (!trap_)
        return;
    QPalette palette = trap_->palette();
    palette.setColor(QPalette::WindowText,
                     readableWarningColour(this->palette().color(QPalette::Window)));
    trap_->setPalette(palette);
}

TrafficWindow::~TrafficWindow() {
    // The table is deleted by QWidget's destructor, when this part of the object is gone; its
    // scroll bar changes range as it goes and must not call back into it.
    disconnect(table_->verticalScrollBar(), nullptr, this, nullptr);
}

void TrafficWindow::showWindow() {
    show();
    raise();
    activateWindow();
}

void TrafficWindow::mirrorChanged() {
    lcd_->update();
    lcd_->setAccessibleDescription(rowsText(mirror_.model()));
    lamps_->setOutputs(mirror_.model().outputs());
    const QString trap = mirror_.trapText();
    trap_->setText(trap);
    trap_->setVisible(!trap.isEmpty());
}

QString TrafficWindow::copySelection(CopyFormat format) {
    QList<int> rows;
    for (const QModelIndex &index : table_->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    const QString text = model_.copyRows(rows, format);
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
    return text;
}

bool TrafficWindow::saveTo(const QString &fileName) {
    const QString problem = model_.save(fileName);
    if (problem.isEmpty())
        return true;
    boxes_.information(
        windowTitle(),
        QStringLiteral("The log could not be saved to %1: %2.").arg(fileName, problem));
    return false;
}

void TrafficWindow::save() {
    const QString fileName = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Traffic Log"), QStringLiteral("traffic-log.txt"),
        QStringLiteral("Text files (*.txt);;All files (*)"));
    if (!fileName.isEmpty())
        saveTo(fileName);
}

} // namespace torvika::trafficlog

#include "config/frmudchar.h"

#include "link/portaccess.h"
#include "platform/accessibility.h"
#include "platform/appicon.h"
#include "platform/captionbutton.h"
#include "platform/fonts.h"
#include "platform/pixelcell.h"
#include "platform/placement.h"
#include "protocol/frames.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <array>

namespace torvika {

namespace {

const QString Caption = QStringLiteral("Configure TORVIKA");
const QString TextIsEmpty = QStringLiteral("Text is Empty");

constexpr std::array<const char *, CharEditor::Rows> CellRows{"UDC1",  "UDC1A", "UDC1B", "UDC1C",
                                                              "UDC1D", "UDC1E", "UDC1F", "UDC1G"};
constexpr auto &Weights = CharEditor::Weights;

using RowHandler = void (FrmUDChar::*)(int);
constexpr std::array<RowHandler, CharEditor::Rows> RowHandlers{
    &FrmUDChar::UDC1_Click,  &FrmUDChar::UDC1A_Click, &FrmUDChar::UDC1B_Click,
    &FrmUDChar::UDC1C_Click, &FrmUDChar::UDC1D_Click, &FrmUDChar::UDC1E_Click,
    &FrmUDChar::UDC1F_Click, &FrmUDChar::UDC1G_Click};

QString rowLabelName(int row) {
    return QStringLiteral("lblRow%1").arg(row + 1);
}

// Names for the screen reader where no caption or label beside a control says what it is.
constexpr accessibility::SpokenName SpokenNames[] = {
    {.control = "txtLine1", .name = "Startup screen row 0"},
    {.control = "TxtLine2", .name = "Startup screen row 1"},
};

} // namespace

FrmUDChar::FrmUDChar(SerialPort &port, MessageBoxes &boxes, QWidget *parent)
    : QWidget(parent, Qt::Window), port_(port), boxes_(boxes) {
    setObjectName(QStringLiteral("frmUDChar"));
    setWindowTitle(Caption);
    setWindowIcon(appIcon());
    setFont(layoutFont(layout::FontSpec{}));
    setFixedSize(layout::px(FrmUDCharClientWidth), layout::px(FrmUDCharClientHeight));
    // A window of its own that screen readers are told is a dialog.
    accessibility::setWindowRole(staticMetaObject, QAccessible::Dialog);
    createStudioActions();
}

FrmUDChar::~FrmUDChar() = default;

void FrmUDChar::showDialog() {
    if (content_ && isVisible()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
        return;
    }
    build();
    Form_Load();
    centreOnFirstShow(*this, centred_);
    show();
    raise();
    activateWindow();
}

void FrmUDChar::build() {
    // The controls of a closed showing are already gone; this one starts from the design.
    delete content_;
    content_ = new QWidget(this);
    content_->setObjectName(QStringLiteral("frmUDCharClient"));
    content_->setGeometry(rect());
    controls_ = layout::build(content_, frmUDCharLayout());
    accessibility::nameControls(controls_, SpokenNames);
    for (int row = 0; row < CharEditor::Rows; ++row)
        for (std::size_t column = 0; column < Weights.size(); ++column)
            controls_.get<PixelCell>(CellRows[static_cast<std::size_t>(row)], Weights[column])
                ->setAccessibleName(
                    QStringLiteral("Row %1, column %2").arg(row + 1).arg(column + 1));
    connectControls();
    attachStudio();
    content_->show();
}

void FrmUDChar::connectControls() {
    for (int row = 0; row < CharEditor::Rows; ++row) {
        const RowHandler handler = RowHandlers[static_cast<std::size_t>(row)];
        for (const int weight : Weights) {
            auto *cell = controls_.get<PixelCell>(CellRows[static_cast<std::size_t>(row)], weight);
            connect(cell, &PixelCell::clicked, this,
                    [this, handler](int index) { (this->*handler)(index); });
        }
    }
    const auto onClick = [this](const char *name, int index, auto handler) {
        connect(controls_.get<CaptionButton>(name, index), &QPushButton::clicked, this, handler);
    };
    onClick("cmdSetAll", -1, [this] { cmdSetAll_Click(); });
    onClick("cmdClrAll", -1, [this] { cmdClrAll_Click(); });
    for (int slot = 0; slot < CharEditor::Slots; ++slot)
        onClick("cmdSetUD", slot, [this, slot] { cmdSetUD_Click(slot); });
    onClick("cmdLoadUD", -1, [this] { cmdLoadUD_Click(); });
    onClick("cmdSetSU", -1, [this] { cmdSetSU_Click(); });
    onClick("cmdClrSU", -1, [this] { cmdClrSU_Click(); });
    onClick("cmd9600", -1, [this] { cmd9600_Click(); });
    onClick("cmd19200", -1, [this] { cmd19200_Click(); });
}

void FrmUDChar::closeEvent(QCloseEvent *event) {
    // The next showing builds the controls again from the layout; the slots stay.
    controls_ = {};
    delete content_;
    content_ = nullptr;
    event->accept();
}

void FrmUDChar::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void FrmUDChar::Form_Load() {
    // A port that cannot be opened is reported; the editor still starts from an empty row
    // so that the unlit grid and UDRow agree.
    openPortIfClosed(port_, boxes_);
    for (int row = 0; row < CharEditor::Rows; ++row)
        showRow(row, CharEditor::clearedRowText());
    editor_.clearAll();
    showUndoState();
}

void FrmUDChar::UDC1_Click(int Index) {
    pixelClick(0, Index);
}
void FrmUDChar::UDC1A_Click(int Index) {
    pixelClick(1, Index);
}
void FrmUDChar::UDC1B_Click(int Index) {
    pixelClick(2, Index);
}
void FrmUDChar::UDC1C_Click(int Index) {
    pixelClick(3, Index);
}
void FrmUDChar::UDC1D_Click(int Index) {
    pixelClick(4, Index);
}
void FrmUDChar::UDC1E_Click(int Index) {
    pixelClick(5, Index);
}
void FrmUDChar::UDC1F_Click(int Index) {
    pixelClick(6, Index);
}
void FrmUDChar::UDC1G_Click(int Index) {
    pixelClick(7, Index);
}

void FrmUDChar::pixelClick(int row, int weight) {
    auto *cell = controls_.get<PixelCell>(CellRows[static_cast<std::size_t>(row)], weight);
    if (!cell)
        return;
    editor_.toggle(row, weight);
    showCell(row, weight);
    showRow(row, CharEditor::rowText(editor_.row(row)));
    showUndoState();
}

void FrmUDChar::cmdSetAll_Click() {
    editor_.setAll();
    for (int row = 0; row < CharEditor::Rows; ++row)
        showRow(row, CharEditor::rowText(CharEditor::FullRow));
    showCells();
}

void FrmUDChar::cmdClrAll_Click() {
    editor_.clearAll();
    for (int row = 0; row < CharEditor::Rows; ++row)
        showRow(row, CharEditor::clearedRowText());
    showCells();
}

void FrmUDChar::cmdSetUD_Click(int Index) {
    editor_.store(Index);
    showStoredChar(Index);
}

void FrmUDChar::cmdLoadUD_Click() {
    writeAll(protocol::customCharWrites(editor_.bitmaps()));
}

void FrmUDChar::cmdSetSU_Click() {
    const auto *row0 = controls_.get<QLineEdit>("txtLine1");
    const auto *row1 = controls_.get<QLineEdit>("TxtLine2");
    if (!row0 || !row1)
        return;
    if (row0->text().isEmpty()) {
        boxes_.information(AppTitle, TextIsEmpty);
        return;
    }
    const protocol::StartupScreen screen = protocol::setStartupScreen(row0->text(), row1->text());
    if (!screen.problem.isEmpty()) {
        boxes_.information(AppTitle, screen.problem);
        return;
    }
    writeAll({screen.frame});
}

void FrmUDChar::cmdClrSU_Click() {
    writeAll(protocol::eraseStartupScreenWrites());
}

void FrmUDChar::cmd9600_Click() {
    writeAll(protocol::moduleSpeedWrites(protocol::ModuleSpeedLow));
}

void FrmUDChar::cmd19200_Click() {
    writeAll(protocol::moduleSpeedWrites(protocol::ModuleSpeedHigh));
}

void FrmUDChar::showRow(int row, const QString &text) {
    if (auto *label = controls_.get<QLabel>(rowLabelName(row).toLatin1().constData()))
        label->setText(text);
}

void FrmUDChar::showCells() {
    for (int row = 0; row < CharEditor::Rows; ++row)
        for (const int weight : Weights)
            showCell(row, weight);
    showUndoState();
}

void FrmUDChar::showCell(int row, int weight) {
    if (auto *cell = controls_.get<PixelCell>(CellRows[static_cast<std::size_t>(row)], weight)) {
        cell->setBackground(editor_.lit(row, weight) ? LitColour : UnlitColour);
        cell->setChecked(editor_.lit(row, weight));
    }
}

PixelCell *FrmUDChar::cell(int row, int weight) const {
    return row < 0 || row >= CharEditor::Rows
               ? nullptr
               : controls_.get<PixelCell>(CellRows[static_cast<std::size_t>(row)], weight);
}

bool FrmUDChar::writeAll(const QList<QByteArray> &writes) {
    return writeSequence(port_, boxes_, writes);
}

} // namespace torvika

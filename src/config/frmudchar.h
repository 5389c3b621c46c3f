#pragma once

#include "config/chareditor.h"
#include "platform/layout.h"
#include "platform/messageboxes.h"
#include "platform/serialport.h"

#include <QAction>
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <span>

namespace torvika {

class PixelCell;

// Colours of an unlit and a lit pixel cell.
inline const QColor UnlitColour(128, 255, 128);
inline const QColor LitColour(0, 0, 0);

// The dialog's fixed layout, one row per control (frmudchar_layout.cpp).
std::span<const layout::Item> frmUDCharLayout();
// Client area of the dialog, in twips.
constexpr int FrmUDCharClientWidth = 8325;
constexpr int FrmUDCharClientHeight = 6345;

// The configuration dialog "Configure TORVIKA": custom characters, startup screen and the
// module's own line speed. One object for the whole run; it writes straight to the main
// window's port, never through the transmit buffer or the traffic monitor.
class FrmUDChar : public QWidget {
    Q_OBJECT
public:
    FrmUDChar(SerialPort &port, MessageBoxes &boxes, QWidget *parent = nullptr);
    ~FrmUDChar() override;

    // Shows the dialog modeless. When it was closed (or never shown) its controls are built
    // afresh from the layout and the load handler runs; when open, it is brought forward.
    void showDialog();

    // The controls of the current showing; empty while the dialog is closed.
    const layout::Controls &controls() const { return controls_; }
    const CharEditor &editor() const { return editor_; }

    void Form_Load();

    // Pixel cells, one handler per row; Index is the cell's bit weight.
    void UDC1_Click(int Index);
    void UDC1A_Click(int Index);
    void UDC1B_Click(int Index);
    void UDC1C_Click(int Index);
    void UDC1D_Click(int Index);
    void UDC1E_Click(int Index);
    void UDC1F_Click(int Index);
    void UDC1G_Click(int Index);

    void cmdSetAll_Click();
    void cmdClrAll_Click();
    void cmdSetUD_Click(int Index);
    void cmdLoadUD_Click();

    void cmdSetSU_Click();
    void cmdClrSU_Click();
    void cmd9600_Click();
    void cmd19200_Click();

    // Character set files (frmudchar_studio.cpp). Each reports a failure in a message box and
    // returns false; a file that is refused changes nothing.
    bool openCharacterSet(const QString &path);
    bool saveCharacterSet(const QString &path);
    bool exportCHeader(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void build();
    void connectControls();
    void pixelClick(int row, int weight);
    void showRow(int row, const QString &text);
    void showCells();
    void showCell(int row, int weight);
    // Writes one click's writes in order; the first failure is reported and ends the click.
    bool writeAll(const QList<QByteArray> &writes);
    PixelCell *cell(int row, int weight) const;

    // The studio over the editor (frmudchar_studio.cpp): strokes of the mouse, undo, the
    // transforms, code exchange, recall of stored characters and character set files, reached
    // by context menus and shortcuts only.
    friend class StrokeFilter;
    void createStudioActions();
    void attachStudio();
    void showDrawing();
    void showStoredChar(int slot);
    bool strokeEvent(PixelCell *pressed, const QMouseEvent *mouse);
    void copyAs(QString (*form)(const protocol::CharBitmap &));
    void paste();
    void editCharacter(int slot);
    // Paints every cell the mouse crossed on its way from the stroke's last point to `to`.
    void strokeTo(const QPoint &to);
    // What the grid does, for its tooltip: dragging, the context menu, the main shortcuts.
    QString gridTip() const;
    // Undo and Redo are greyed while there is nothing to take back or bring again.
    void showUndoState();
    // A file from the file dialog, or "". Saving (a suffix given) adds the suffix to a name
    // typed without one and asks before an existing file is replaced.
    QString chooseFile(const QString &title, const QString &filter, const char *saveSuffix);
    // The next file dialog opens in the folder of `path`, a file opened or saved.
    void rememberFolder(const QString &path);

    struct Stroke {
        QPointer<PixelCell> pressed; // gone when the dialog closes during a stroke
        QPoint last;                 // where the mouse was, in the client area
        bool painting = false;
        bool lit = false;
    } stroke_;
    QAction *undo_ = nullptr;
    QAction *redo_ = nullptr;
    QList<QAction *> gridActions_;
    std::array<QAction *, CharEditor::Slots> editActions_{};
    // Goes before the controls do, so no event reaches a dialog being destroyed.
    std::unique_ptr<QObject> strokeFilter_;
    QString lastFolder_;

    SerialPort &port_;
    MessageBoxes &boxes_;
    CharEditor editor_;
    QWidget *content_ = nullptr;
    layout::Controls controls_;
    bool centred_ = false;
};

} // namespace torvika

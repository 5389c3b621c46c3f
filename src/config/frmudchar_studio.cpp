// The character studio: what the editor gains without a control of its own. Strokes of the
// mouse paint, every change of the grid can be undone, the drawing is transformed, copied and
// pasted as code, stored characters come back to the grid, and the eight slots go to and from
// files. Everything is reached through context menus, shortcuts and dragging; nothing here
// sends a byte.
#include "config/frmudchar.h"

#include "link/portaccess.h"
#include "platform/pixelcell.h"
#include "protocol/charcodec.h"
#include "protocol/hex.h"
#include "settings/charsetfile.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace torvika {

// Hands the mouse events of the pixel cells to the dialog, which may take a release that
// ends a stroke so the cell does not toggle on it.
class StrokeFilter : public QObject {
public:
    explicit StrokeFilter(FrmUDChar *dialog) : dialog_(dialog) {}
    bool eventFilter(QObject *watched, QEvent *event) override {
        const auto type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
            type != QEvent::MouseButtonRelease)
            return false;
        auto *cell = qobject_cast<PixelCell *>(watched);
        return cell && dialog_->strokeEvent(cell, static_cast<QMouseEvent *>(event));
    }

private:
    FrmUDChar *dialog_;
};

namespace {

constexpr auto &Weights = CharEditor::Weights;
const QString CharSetFilter = QStringLiteral("TORVIKA character sets (*.%1);;All files (*)")
                                  .arg(QLatin1String(charset::FileSuffix));
const QString HeaderFilter = QStringLiteral("C headers (*.h);;All files (*)");

QAction *newAction(QObject *owner, const char *name, const QString &text,
                   const QList<QKeySequence> &keys = {},
                   Qt::ShortcutContext context = Qt::WidgetShortcut) {
    auto *action = new QAction(text, owner);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(context);
    return action;
}

QAction *separator(QObject *owner) {
    auto *action = new QAction(owner);
    action->setSeparator(true);
    return action;
}

// The stored character enlarged, with its row values, for the store button's tooltip.
QString storedCharTip(int slot, const protocol::CharBitmap &rows) {
    QString html = QStringLiteral("<p style='white-space:pre'>Character %1</p>"
                                  "<table cellspacing='1' cellpadding='0'>")
                       .arg(slot);
    for (const std::uint8_t row : rows) {
        html += QStringLiteral("<tr>");
        for (const int weight : Weights)
            html += QStringLiteral("<td width='12' bgcolor='%1'>&nbsp;&nbsp;</td>")
                        .arg((row & weight ? LitColour : UnlitColour).name());
        html += QStringLiteral("<td>&nbsp;%1</td></tr>")
                    .arg(protocol::cByteList(QByteArray(1, static_cast<char>(row))));
    }
    return html + QStringLiteral("</table>");
}

} // namespace

void FrmUDChar::createStudioActions() {
    const auto onTrigger = [this](QAction *action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // Undo, Redo and the files work wherever the focus is in the dialog; a text field keeps
    // its own Ctrl+Z.
    const auto window = Qt::WindowShortcut;
    undo_ = onTrigger(newAction(this, "actUndo", tr("Undo"), {QKeySequence::Undo}, window), [this] {
        if (editor_.undo())
            showDrawing();
    });
    redo_ = onTrigger(newAction(this, "actRedo", tr("Redo"),
                                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                 QKeySequence(Qt::CTRL | Qt::Key_Y)},
                                window),
                      [this] {
                          if (editor_.redo())
                              showDrawing();
                      });
    gridActions_ << undo_ << redo_ << separator(this);

    struct Shape {
        const char *name;
        QString text;
        QKeySequence key;
        Transform transform;
    };
    const Shape shapes[] = {
        {"actInvert", tr("Invert"), Qt::CTRL | Qt::Key_I, Transform::Invert},
        {"actShiftUp", tr("Shift up"), Qt::CTRL | Qt::SHIFT | Qt::Key_Up, Transform::ShiftUp},
        {"actShiftDown", tr("Shift down"), Qt::CTRL | Qt::SHIFT | Qt::Key_Down,
         Transform::ShiftDown},
        {"actShiftLeft", tr("Shift left"), Qt::CTRL | Qt::SHIFT | Qt::Key_Left,
         Transform::ShiftLeft},
        {"actShiftRight", tr("Shift right"), Qt::CTRL | Qt::SHIFT | Qt::Key_Right,
         Transform::ShiftRight},
        {"actMirrorLeftRight", tr("Mirror left-right"), Qt::CTRL | Qt::Key_M,
         Transform::MirrorLeftRight},
        {"actMirrorTopBottom", tr("Mirror top-bottom"), Qt::CTRL | Qt::SHIFT | Qt::Key_M,
         Transform::MirrorTopBottom},
    };
    for (const Shape &shape : shapes)
        gridActions_ << onTrigger(newAction(this, shape.name, shape.text, {shape.key}),
                                  [this, t = shape.transform] {
                                      editor_.transform(t);
                                      showDrawing();
                                  });
    gridActions_ << separator(this);

    gridActions_ << onTrigger(newAction(this, "actCopyCArray", tr("Copy as C array"),
                                        {QKeySequence::Copy}),
                              [this] { copyAs(protocol::charAsCArray); })
                 << onTrigger(newAction(this, "actCopyBinary", tr("Copy as binary")),
                              [this] { copyAs(protocol::charAsBinary); })
                 << onTrigger(newAction(this, "actCopyHex", tr("Copy as hex")),
                              [this] { copyAs(protocol::charAsHex); })
                 << onTrigger(newAction(this, "actPaste", tr("Paste"), {QKeySequence::Paste}),
                              [this] { paste(); })
                 << separator(this);

    QAction *open = onTrigger(newAction(this, "actOpenCharSet", tr("Open Character Set..."),
                                        {QKeySequence::Open}, window),
                              [this] {
                                  const QString path =
                                      chooseFile(tr("Open Character Set"), CharSetFilter, nullptr);
                                  if (path.isEmpty())
                                      return;
                                  // A file that is refused still lies in a good folder.
                                  openCharacterSet(path);
                                  rememberFolder(path);
                              });
    QAction *save = onTrigger(newAction(this, "actSaveCharSet", tr("Save Character Set..."),
                                        {QKeySequence::Save}, window),
                              [this] {
                                  const QString path = chooseFile(
                                      tr("Save Character Set"), CharSetFilter, charset::FileSuffix);
                                  if (!path.isEmpty() && saveCharacterSet(path))
                                      rememberFolder(path);
                              });
    gridActions_ << open << save
                 << onTrigger(newAction(this, "actExportHeader", tr("Export as C Header...")),
                              [this] {
                                  const QString path =
                                      chooseFile(tr("Export as C Header"), HeaderFilter, "h");
                                  if (!path.isEmpty() && exportCHeader(path))
                                      rememberFolder(path);
                              });
    addActions({undo_, redo_, open, save});
    showUndoState();

    for (int slot = 0; slot < CharEditor::Slots; ++slot)
        editActions_[static_cast<std::size_t>(slot)] =
            onTrigger(newAction(this, qPrintable(QStringLiteral("actEditChar%1").arg(slot)),
                                tr("Edit Character %1").arg(slot)),
                      [this, slot] { editCharacter(slot); });
}

QString FrmUDChar::gridTip() const {
    const std::pair<const char *, QString> shortcuts[] = {
        {"actUndo", tr("undo")},       {"actRedo", tr("redo")},     {"actCopyCArray", tr("copy")},
        {"actPaste", tr("paste")},     {"actInvert", tr("invert")}, {"actSaveCharSet", tr("save")},
        {"actOpenCharSet", tr("open")}};
    QStringList keys;
    for (const auto &[name, what] : shortcuts)
        if (const auto *action = findChild<QAction *>(QLatin1String(name)))
            keys << action->shortcut().toString(QKeySequence::NativeText) + u' ' + what;
    return tr("Click a pixel to switch it, or press and drag to paint.\n"
              "Right-click for undo, transforms, copy, paste and files.\n") +
           keys.mid(0, 4).join(QStringLiteral(", ")) + u'\n' +
           keys.mid(4).join(QStringLiteral(", "));
}

void FrmUDChar::attachStudio() {
    if (!strokeFilter_)
        strokeFilter_ = std::make_unique<StrokeFilter>(this);
    QList<QWidget *> grid;
    for (int row = 0; row < CharEditor::Rows; ++row)
        for (const int weight : Weights)
            if (PixelCell *c = cell(row, weight)) {
                c->installEventFilter(strokeFilter_.get());
                grid << c;
            }
    if (auto *frame = controls_.get<QGroupBox>("FrameC"))
        grid << frame;
    const QString tip = gridTip();
    for (QWidget *w : grid) {
        w->addActions(gridActions_);
        w->setContextMenuPolicy(Qt::ActionsContextMenu);
        w->setToolTip(tip);
    }
    for (int slot = 0; slot < CharEditor::Slots; ++slot) {
        if (auto *button = controls_.get<QPushButton>("cmdSetUD", slot)) {
            button->addAction(editActions_[static_cast<std::size_t>(slot)]);
            button->setContextMenuPolicy(Qt::ActionsContextMenu);
        }
        showStoredChar(slot);
    }
}

bool FrmUDChar::strokeEvent(PixelCell *pressed, const QMouseEvent *mouse) {
    const auto type = mouse->type();
    // Where the mouse is in the client area, whichever cell holds the mouse grab.
    const QPoint at = content_->mapFromGlobal(mouse->globalPosition().toPoint());
    if (type == QEvent::MouseButtonPress) {
        if (mouse->button() == Qt::LeftButton)
            stroke_ = {pressed, at, false, false};
        return false;
    }
    if (type == QEvent::MouseButtonRelease) {
        // A plain click goes on to the cell and toggles it; the end of a stroke does not.
        const bool painted = stroke_.painting && mouse->button() == Qt::LeftButton;
        if (mouse->button() == Qt::LeftButton)
            stroke_ = {};
        return painted;
    }
    if (stroke_.pressed && (mouse->buttons() & Qt::LeftButton))
        strokeTo(at);
    return false;
}

void FrmUDChar::strokeTo(const QPoint &to) {
    // Motion events come far apart when the mouse moves fast: walk the way between them a
    // pixel at a time so that no cell it crossed is skipped.
    const QPoint from = stroke_.last;
    stroke_.last = to;
    const int steps = std::max(1, (to - from).manhattanLength());
    bool changed = false;
    for (int step = 1; step <= steps; ++step) {
        const QPoint at = from + (to - from) * step / steps;
        for (int row = 0; row < CharEditor::Rows; ++row)
            for (const int weight : Weights) {
                PixelCell *under = cell(row, weight);
                if (!under || !under->geometry().contains(at))
                    continue;
                if (!stroke_.painting) {
                    if (under == stroke_.pressed)
                        continue;
                    // Leaving the first cell starts the stroke: it takes the state that a click
                    // would have given it, and every cell the stroke meets takes the same.
                    stroke_.painting = true;
                    const int first = stroke_.pressed->index();
                    for (int r = 0; r < CharEditor::Rows; ++r)
                        if (cell(r, first) == stroke_.pressed) {
                            stroke_.lit = !editor_.lit(r, first);
                            editor_.paint(r, first, stroke_.lit, true);
                        }
                }
                editor_.paint(row, weight, stroke_.lit, false);
                changed = true;
            }
    }
    if (changed)
        showDrawing();
}

void FrmUDChar::showUndoState() {
    undo_->setEnabled(editor_.canUndo());
    redo_->setEnabled(editor_.canRedo());
}

void FrmUDChar::showDrawing() {
    for (int row = 0; row < CharEditor::Rows; ++row)
        showRow(row, CharEditor::rowText(editor_.row(row)));
    showCells();
}

void FrmUDChar::showStoredChar(int slot) {
    auto *button = controls_.get<QPushButton>("cmdSetUD", slot);
    if (!button)
        return;
    const protocol::CharBitmap rows = protocol::charOf(editor_.bitmaps(), slot);
    button->setToolTip(storedCharTip(slot, rows));
    button->setAccessibleDescription(tr("Stores the drawing as character %1, which now holds %2")
                                         .arg(slot)
                                         .arg(protocol::charAsCArray(rows)));
}

void FrmUDChar::copyAs(QString (*form)(const protocol::CharBitmap &)) {
    QGuiApplication::clipboard()->setText(form(editor_.UDRow));
}

void FrmUDChar::paste() {
    const protocol::ParsedChar parsed = protocol::parseChar(QGuiApplication::clipboard()->text());
    if (!parsed.rows) {
        boxes_.information(AppTitle, tr("The clipboard does not hold one 5x8 character."),
                           parsed.problem);
        return;
    }
    editor_.setDrawing(*parsed.rows);
    showDrawing();
}

void FrmUDChar::editCharacter(int slot) {
    editor_.recall(slot);
    showDrawing();
}

QString FrmUDChar::chooseFile(const QString &title, const QString &filter, const char *saveSuffix) {
    QString start = lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_;
    if (!saveSuffix)
        return QFileDialog::getOpenFileName(this, title, start, filter);
    // The file dialog's own question comes before the suffix is added and so misses the file
    // that is then replaced; the one question is asked here, about the name that is written.
    for (;;) {
        QString path = QFileDialog::getSaveFileName(this, title, start, filter, nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
        if (path.isEmpty())
            return path;
        if (QFileInfo(path).suffix().isEmpty())
            path += u'.' + QLatin1String(saveSuffix);
        const QFileInfo target(path);
        // A folder of that name is not replaced; writing over it fails with the reason.
        if (!target.exists() || target.isDir() ||
            boxes_.question(
                AppTitle,
                tr("%1 already exists.\nDo you want to replace it?").arg(target.fileName())))
            return path;
        start = path;
    }
}

void FrmUDChar::rememberFolder(const QString &path) {
    lastFolder_ = QFileInfo(path).absolutePath();
}

bool FrmUDChar::openCharacterSet(const QString &path) {
    const charset::ReadResult read = charset::readFile(path);
    if (!read.set) {
        boxes_.information(AppTitle, tr("The character set was not opened."), read.problem);
        return false;
    }
    editor_.UDBitmap = read.set->chars;
    for (int slot = 0; slot < CharEditor::Slots; ++slot)
        showStoredChar(slot);
    if (read.set->startup) {
        const char *const fields[] = {"txtLine1", "TxtLine2"};
        for (std::size_t r = 0; r < 2; ++r)
            if (auto *field = controls_.get<QLineEdit>(fields[r]))
                field->setText((*read.set->startup)[r]);
    }
    return true;
}

bool FrmUDChar::saveCharacterSet(const QString &path) {
    charset::CharacterSet set{editor_.bitmaps(), std::nullopt};
    const auto *row0 = controls_.get<QLineEdit>("txtLine1");
    const auto *row1 = controls_.get<QLineEdit>("TxtLine2");
    if (row0 && row1)
        set.startup = std::array<QString, 2>{row0->text(), row1->text()};
    const QString problem = charset::writeFile(path, set);
    if (!problem.isEmpty())
        boxes_.information(AppTitle, tr("The character set was not saved."), problem);
    return problem.isEmpty();
}

bool FrmUDChar::exportCHeader(const QString &path) {
    const QString problem =
        charset::writeWhole(path, protocol::charSetAsCHeader(editor_.bitmaps()));
    if (!problem.isEmpty())
        boxes_.information(AppTitle, tr("The header was not written."), problem);
    return problem.isEmpty();
}

} // namespace torvika

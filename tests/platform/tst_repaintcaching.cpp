// Frames skip repaints that miss their border and title, and buttons keep their laid-out
// caption between repaints. Neither shortcut may ever change what is on screen.
#include "platform/captionbutton.h"
#include "platform/framebox.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <memory>

using namespace torvika;

namespace {

// The widget painted for a damage region over what lies beneath it, and only the pixels
// inside that region: what a repaint of that region puts on screen.
QImage render(QWidget &widget, const QRegion &region, const QColor &beneath = Qt::transparent) {
    QImage painted(widget.size(), QImage::Format_ARGB32_Premultiplied);
    painted.fill(beneath);
    widget.render(&painted, QPoint(), region, QWidget::RenderFlags());
    QImage seen(widget.size(), QImage::Format_ARGB32_Premultiplied);
    seen.fill(Qt::transparent);
    QPainter painter(&seen);
    painter.setClipRegion(region);
    painter.drawImage(0, 0, painted);
    return seen;
}

QImage render(QWidget &widget) {
    return render(widget, QRegion(widget.rect()));
}

} // namespace

class TestRepaintCaching : public QObject {
    Q_OBJECT
private slots:
    void frameDrawsWhatAWholeRepaintDraws_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::newRow("backlight") << "Backlight" << QSize(185, 97);
        QTest::newRow("no title") << "" << QSize(120, 60);
        QTest::newRow("long title, small box") << "Send Bitmap to LCD settings" << QSize(60, 40);
        QTest::newRow("tiny") << "x" << QSize(12, 12);
    }

    // Whatever the damage (the whole frame, a button inside it, the interior, the edges,
    // the title), a frame painted many times puts the same pixels there as a new one.
    void frameDrawsWhatAWholeRepaintDraws() {
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        FrameBox frame(caption);
        frame.resize(size);

        const QRect whole(QPoint(), size);
        const QRect title = frame.titleRect();
        const QRect button(size.width() / 4, size.height() / 2, size.width() / 2,
                           size.height() / 3);
        const QRegion damages[] = {
            whole,
            button,
            QRegion(whole.adjusted(3, 3, -3, -3)) - title,
            QRegion(whole) - whole.adjusted(2, 2, -2, -2) - title,
            QRect(0, size.height() - 3, size.width(), 3),
            title,
            QRegion(title) + button,
        };
        for (const QColor &beneath : {QColor(Qt::transparent), QColor(0xd4, 0xd0, 0xc8)})
            for (const QRegion &damage : damages) {
                FrameBox fresh(caption);
                fresh.resize(size);
                QCOMPARE(render(frame, damage, beneath), render(fresh, damage, beneath));
            }
    }

    void frameFollowsEveryChange() {
        FrameBox frame(QStringLiteral("Outputs"));
        frame.resize(300, 100);
        const QRect before = frame.titleRect();
        QVERIFY(!before.isEmpty());

        frame.setTitle(QStringLiteral("A much longer title for the outputs"));
        QVERIFY(frame.titleRect().width() > before.width());
        QFont bigger = frame.font();
        bigger.setPointSizeF(bigger.pointSizeF() * 2);
        const QRect longTitle = frame.titleRect();
        frame.setFont(bigger);
        QVERIFY(frame.titleRect().height() > longTitle.height());

        // A frame made that way from the start.
        QPalette dark = frame.palette();
        const auto fresh = [&](bool changed) {
            auto made = std::make_unique<FrameBox>(frame.title());
            made->setFont(bigger);
            made->resize(changed ? QSize(260, 100) : frame.size());
            if (changed) {
                made->setPalette(dark);
                made->setEnabled(false);
            }
            return made;
        };
        const QRegion inside(QRect(20, 60, 200, 30));
        const QRegion edge(QRect(0, 90, 300, 10));
        QCOMPARE(render(frame, inside), render(*fresh(false), inside));
        QCOMPARE(render(frame), render(*fresh(false)));

        // Changes that reach only the border, after the border was drawn once.
        dark.setColor(QPalette::Window, Qt::darkBlue);
        dark.setColor(QPalette::Light, Qt::yellow);
        dark.setColor(QPalette::Dark, Qt::red);
        frame.setPalette(dark);
        frame.setEnabled(false);
        frame.resize(260, 100);
        QCOMPARE(render(frame, edge), render(*fresh(true), edge));
        QCOMPARE(render(frame, inside), render(*fresh(true), inside));
    }

    void buttonCaptionFollowsChanges_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QSize>("firstSize");
        QTest::addColumn<QSize>("secondSize");
        QTest::newRow("new text") << "Clear Screen"
                                  << "Cursor Home" << QSize(73, 33) << QSize(73, 33);
        QTest::newRow("narrower, wraps") << "Cursor Home"
                                         << "Cursor Home" << QSize(120, 33) << QSize(49, 41);
        QTest::newRow("wider, unwraps") << "Set Cursor Position"
                                        << "Set Cursor Position" << QSize(49, 41) << QSize(160, 33);
        QTest::newRow("mnemonic") << "Clear Screen"
                                  << "&Read Input" << QSize(73, 33) << QSize(73, 33);
    }

    // A button changed after it was painted must look as one made that way from the start.
    void buttonCaptionFollowsChanges() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QSize, firstSize);
        QFETCH(QSize, secondSize);
        CaptionButton changed(first);
        changed.resize(firstSize);
        const QImage before = render(changed);
        changed.setText(second);
        changed.resize(secondSize);

        CaptionButton fresh(second);
        fresh.resize(secondSize);
        const QImage expected = render(fresh);
        QCOMPARE(render(changed), expected);
        if (first != second || firstSize != secondSize)
            QVERIFY(before != expected);
    }

    void buttonCaptionWhereTheTextEngineDrawsIt_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::newRow("one line") << "Clear Screen" << QSize(73, 33);
        QTest::newRow("wrapped") << "Cursor Home" << QSize(49, 41);
        QTest::newRow("three lines") << "Set Cursor Position" << QSize(49, 57);
        QTest::newRow("too wide") << "Backlight" << QSize(30, 25);
    }

    // The laid-out caption must land on the very pixels the text engine would draw.
    void buttonCaptionWhereTheTextEngineDrawsIt() {
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        CaptionButton button(caption);
        button.resize(size);

        CaptionButton bare(QString{});
        bare.resize(size);
        QImage expected = render(bare);
        {
            QPainter painter(&expected);
            painter.setFont(bare.font());
            painter.setPen(bare.palette().color(QPalette::Active, QPalette::ButtonText));
            painter.drawText(button.captionRect(), Qt::AlignCenter | Qt::TextWordWrap, caption);
        }
        QCOMPARE(render(button), expected);
    }

    void buttonCaptionFollowsFont() {
        CaptionButton changed(QStringLiteral("Backlight On"));
        changed.resize(90, 33);
        const QImage before = render(changed);
        QFont bigger = changed.font();
        bigger.setPointSizeF(bigger.pointSizeF() * 1.5);
        changed.setFont(bigger);

        CaptionButton fresh(QStringLiteral("Backlight On"));
        fresh.setFont(bigger);
        fresh.resize(90, 33);
        QCOMPARE(render(changed), render(fresh));
        QVERIFY(render(changed) != before);
    }
};

QTEST_MAIN(TestRepaintCaching)
#include "tst_repaintcaching.moc"

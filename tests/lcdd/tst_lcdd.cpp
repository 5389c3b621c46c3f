// The LCDd encoder, frames in, bytes out, each flush played into the module model.
#include "support/data.h"
#include "support/lcddcheck.h"

#include <functional>

using namespace torvika::lcdd;
using torvika::test::hex;
using Draw = std::function<void(Frame &)>;
Q_DECLARE_METATYPE(Draw)

namespace {

const Draw Nothing = [](Frame &) {};
const Draw Hello = [](Frame &f) { f.string(1, 1, "abcdefgh"); };
// Eight client characters, each a different single row lit, drawn at the left of row 1.
const Draw EightOwn = [](Frame &f) {
    for (int n = 0; n < 8; ++n) {
        const unsigned char rows[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        const_cast<unsigned char &>(rows[n]) = 0x11;
        f.setChar(n, rows);
        f.chr(n + 1, 1, char(n));
    }
};
Draw both(Draw a, Draw b) {
    return [a, b](Frame &f) { a(f), b(f); };
}
void row(const char *name, Draw first, Draw second, const QByteArray &bytes, int size = -1) {
    QTest::newRow(name) << first << second << bytes << size;
}

} // namespace

class TstLcdd : public QObject {
    Q_OBJECT
private slots:
    // Two frames: the second flush's bytes (or their count), and the module showing each frame.
    void flushes_data() {
        torvika::test::columns<Draw, Draw, QByteArray, int>({"first", "second", "bytes", "size"});
        row("an unchanged frame sends nothing", Hello, Hello, "");
        row(
            "one changed cell: a move and its byte", Hello,
            [](Frame &f) { f.string(1, 1, "Xbcdefgh"); }, hex("FE 32 00 00 58"));
        row(
            "three unchanged cells are re-sent instead of a move", Hello,
            [](Frame &f) { f.string(1, 1, "XbcdYfgh"); }, hex("FE 32 00 00 58 62 63 64 59"));
        row(
            "five unchanged cells cost a move instead", Hello,
            [](Frame &f) { f.string(1, 1, "XbcdefYh"); }, hex("FE 32 00 00 58 FE 32 00 06 59"));
        row(
            "row 2 is reached by a move, never by the wrap", Nothing,
            [](Frame &f) { f.string(16, 1, "x"), f.string(1, 2, "y"); },
            hex("FE 32 00 0F 78 FE 32 01 00 79"));
        row(
            "FE in text shows as FD", Nothing, [](Frame &f) { f.chr(1, 1, char(0xFE)); },
            hex("FE 32 00 00 FD"));
        row("backlight off with level 0 for off", Hello,
            both(Hello, [](Frame &f) { f.backlight(0); }), hex("FE 07"));
        row("backlight off at a level of its own only dims", Hello,
            both(Hello, [](Frame &f) { f.setBrightness(0, 500), f.backlight(0); }),
            hex("FE 28 96"));
        row("outputs", Hello, both(Hello, [](Frame &f) { f.output(5); }), hex("FE 2F 05"));
        row("block cursor: style, then place", Hello,
            both(Hello, [](Frame &f) { f.cursor(3, 2, 4); }), hex("FE 02 FE 32 01 02"));
        row(
            "a loaded glyph is not uploaded again", [](Frame &f) { f.icon(1, 1, 0x108); },
            [](Frame &f) { f.icon(5, 1, 0x108); }, hex("FE 32 00 00 20 20 20 20 00"));
        row(
            "a bar's end growing takes a free slot, the last glyph stays loaded",
            [](Frame &f) { f.hbar(1, 1, 2, 100, 0); }, [](Frame &f) { f.hbar(1, 1, 2, 200, 0); },
            hex("FE 64") + QByteArray(8, 0x10) + QByteArray(8, 0x18) + QByteArray(48, 0) +
                hex("FE 32 00 00 01"));
        row("the glyph let go gives its slot to the one taking its cell", EightOwn,
            both(EightOwn, [](Frame &f) { f.icon(8, 1, 0x110); }), {}, 66);
        row("a cell of a slot let go changes before the upload, the others keep theirs", EightOwn,
            both(EightOwn, [](Frame &f) { f.chr(8, 1, 'x'), f.icon(10, 1, 0x110); }), {},
            5 + 66 + 2);
        row("nine glyphs: the heartbeat gives way", EightOwn,
            both(EightOwn, [](Frame &f) { f.heartbeat(1); }), hex("FE 32 00 0F 23"));
        for (int code = 8; code < 32; ++code)
            QTest::addRow("byte %d in text shows blank", code) << Hello << Draw([code](Frame &f) {
                f.string(1, 1, "abcdefgh"), f.chr(1, 1, char(code));
            }) << hex("FE 32 00 00 20") << -1;
        // A bar ending at a cell boundary, one pixel at a time.
        for (int promille = 0; promille <= 1000; promille += 50)
            QTest::addRow("hbar and vbar at %d", promille) << Draw([promille](Frame &f) {
                f.hbar(4, 1, 2, promille - 50, 0);
            }) << Draw([promille](Frame &f) {
                f.hbar(4, 1, 2, promille, 0), f.vbar(1, 2, 2, promille, 0);
            }) << QByteArray() << -1;
        for (int digit = 0; digit <= 10; ++digit)
            QTest::addRow("big digit %d", digit)
                << Draw([digit](Frame &f) { f.num(1, (digit + 1) % 11); })
                << Draw([digit](Frame &f) { f.num(1, digit), f.num(4, 10), f.heartbeat(1); })
                << QByteArray() << -1;
    }
    void flushes() {
        QFETCH(Draw, first);
        QFETCH(Draw, second);
        QFETCH(QByteArray, bytes);
        QFETCH(int, size);
        Frame frame;
        Encoder encoder;
        torvika::test::DisplayModel model;
        first(frame);
        QCOMPARE(torvika::test::playAndCompare(model, encoder.flush(frame), frame, false), "");
        frame.clear();
        second(frame);
        const QByteArray sent = encoder.flush(frame);
        QCOMPARE(torvika::test::playAndCompare(model, sent, frame), "");
        if (!bytes.isNull())
            QCOMPARE(sent.toHex(' '), bytes.toHex(' '));
        if (size >= 0)
            QCOMPARE(sent.size(), size);
        // After a reopen everything goes again, whatever the module did meanwhile.
        torvika::test::playAndCompare(model,
                                      hex("FE 2F 07 FE 07 FE 28 4D FE 02 FE 32 00 00") +
                                          QByteArray(16, 'Z') + hex("FE 32 01 00") +
                                          QByteArray(16, 'Z') + hex("FE 64") + QByteArray(64, 0x15),
                                      frame, false);
        encoder.forget();
        QCOMPARE(torvika::test::playAndCompare(model, encoder.flush(frame), frame, false), "");
    }

    void brightness_data() {
        torvika::test::columns<int, int>({"promille", "level"});
        for (const auto &[p, l] :
             {std::pair{0, 0}, {-3, 0}, {1, 50}, {500, 150}, {1000, 250}, {4000, 250}})
            QTest::addRow("%d is %d", p, l) << p << l;
    }
    void brightness() {
        QFETCH(int, promille);
        QTEST(moduleBrightness(promille), "level");
    }

    // Every icon LCDd names is drawn; two-cell icons in plain characters.
    void icons_data() {
        torvika::test::columns<int, bool>({"icon", "drawn"});
        for (int icon : {0x100, 0x108, 0x109, 0x110, 0x111, 0x112, 0x113, 0x120, 0x121, 0x122,
                         0x128, 0x129, 0x130, 0x200, 0x204, 0x208})
            QTest::addRow("%x drawn", icon) << icon << true;
        for (int icon : {0x101, 0x131, 0x1FF, 0x209})
            QTest::addRow("%x left to LCDd", icon) << icon << false;
    }
    void icons() {
        QFETCH(int, icon);
        Frame frame;
        QTEST(frame.icon(1, 1, icon), "drawn");
        QCOMPARE(frame.cell(0, 0) != Frame::Cell{}, frame.icon(1, 1, icon));
        torvika::test::DisplayModel model;
        QCOMPARE(torvika::test::playAndCompare(model, Encoder().flush(frame), frame), "");
    }
};

QTEST_GUILESS_MAIN(TstLcdd)
#include "tst_lcdd.moc"

// The LCDd encoder, frames in, bytes out, each flush played into the module model.
#include "support/data.h"
#include "support/lcddcheck.h"

#include "lcdd/keys.h"
#include "lcdd/linequeue.h"
#include "lcdd/settings.h"

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

    // One line of the driver's section: what the driver takes, and whether it is refused.
    void settings_data() {
        torvika::test::columns<QString, QString, bool>({"line", "taken", "refused"});
        const char *defaults = "/dev/ttyUSB0 0 1000/0 Enter,Up,Down 50";
        // clang-format off
        QTest::newRow("nothing set: the defaults") << "" << defaults << false;
        QTest::newRow("Speed 19200") << "Speed=19200" << "/dev/ttyUSB0 19200 1000/0 Enter,Up,Down 50" << false;
        QTest::newRow("Speed 38400 refused, auto kept") << "Speed=38400" << defaults << true;
        QTest::newRow("Brightness 0 is off") << "Brightness=0" << "/dev/ttyUSB0 0 0/0 Enter,Up,Down 50" << false;
        QTest::newRow("Brightness 1001 refused") << "Brightness=1001" << defaults << true;
        QTest::newRow("OffBrightness 5x refused") << "OffBrightness=5x" << defaults << true;
        QTest::newRow("Key2 empty: no key") << "Key2=" << "/dev/ttyUSB0 0 1000/0 Enter,,Down 50" << false;
        QTest::newRow("Key1 with a blank refused") << "Key1=Page Up" << defaults << true;
        QTest::newRow("InputPoll 9 refused") << "InputPoll=9" << defaults << true;
        QTest::newRow("a relative Device refused") << "Device=ttyUSB1" << defaults << true;
        // clang-format on
    }
    void settings() {
        QFETCH(QString, line);
        const QString key = line.section(u'=', 0, 0), value = line.section(u'=', 1);
        const SettingsCheck c = readSettings("torvika", [&](const char *k) {
            return key == QLatin1String(k) ? std::optional(value.toStdString()) : std::nullopt;
        });
        const Settings &s = c.settings;
        QTEST(QStringLiteral("%1 %2 %3/%4 %5,%6,%7 %8")
                  .arg(s.device.c_str())
                  .arg(s.speed)
                  .arg(s.brightness)
                  .arg(s.offBrightness)
                  .arg(s.keys[0].c_str(), s.keys[1].c_str(), s.keys[2].c_str())
                  .arg(s.inputPollMs),
              "taken");
        QTEST(c.problems.size() == 1 && c.problems[0].find(key.toStdString() + "=\"") == 0,
              "refused");
    }

    // Successive answers to the inputs query, and the presses each one makes.
    void keyEdges_data() {
        torvika::test::columns<QByteArray, QByteArray>({"answers", "presses"});
        QTest::newRow("the first answer sets what is there") << hex("01") << hex("00");
        QTest::newRow("LOW to HIGH is a press, HIGH held is none")
            << hex("00 01 01") << hex("00 01 00");
        QTest::newRow("HIGH to LOW is none") << hex("03 01 03") << hex("00 00 02");
        QTest::newRow("inputs 1 and 3 at once, bits 3-7 are none") << hex("00 FD") << hex("00 05");
    }
    void keyEdges() {
        QFETCH(QByteArray, answers);
        KeyEdges edges;
        QByteArray presses;
        for (const char a : answers)
            presses += char(edges.pressed(std::uint8_t(a)));
        QTEST(presses, "presses");
    }

    // Whether a flush sends: the most of the device's queue and the line's backlog, plus what the
    // device has not taken, against 120 bytes (9600 bit/s at 8 frames a second).
    void lineRoom_data() {
        torvika::test::columns<int, int, int, int, bool>(
            {"written", "msAgo", "device", "held", "sends"});
        QTest::newRow("120 bytes just written: sends") << 120 << 0 << 0 << 0 << true;
        QTest::newRow("the device holds 121: skipped") << 0 << 0 << 121 << 0 << false;
        QTest::newRow("121 not taken by the device: skipped") << 0 << 0 << 0 << 121 << false;
        QTest::newRow("an adapter's empty queue, 240 on the wire: skipped")
            << 240 << 0 << 0 << 0 << false;
        QTest::newRow("240 written 130 ms ago: sends") << 240 << 130 << 0 << 0 << true;
    }
    void lineRoom() {
        QFETCH(int, written);
        QFETCH(int, msAgo);
        QFETCH(int, device);
        QFETCH(int, held);
        LineBacklog line(9600);
        line.wrote(written, 1000000);
        QTEST(mayFlush(device, line.queued(1000000 + msAgo * 1000), held, line.frameBudget()),
              "sends");
    }
};

QTEST_GUILESS_MAIN(TstLcdd)
#include "tst_lcdd.moc"

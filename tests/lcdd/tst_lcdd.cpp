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

Draw text(const char *s) {
    return [s](Frame &f) { f.string(1, 1, s); };
}
const Draw Nothing = [](Frame &) {};
const Draw Hello = text("abcdefgh");
// Eight client characters, each a different single row lit, drawn at the left of row 1.
const Draw EightOwn = [](Frame &f) {
    for (int n = 0; n < 8; ++n) {
        unsigned char rows[8] = {};
        rows[n] = 0x11;
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
        row("one changed cell: a move and its byte", Hello, text("Xbcdefgh"), hex("FE320000 58"));
        row("three unchanged cells are re-sent instead of a move", Hello, text("XbcdYfgh"),
            hex("FE320000 58 626364 59"));
        row("five unchanged cells cost a move instead", Hello, text("XbcdefYh"),
            hex("FE320000 58 FE320006 59"));
        row("row 2 is reached by a move, never by the wrap", Nothing,
            both(text("               x"), [](Frame &f) { f.string(1, 2, "y"); }),
            hex("FE32000F 78 FE320100 79"));
        row("FE in text shows as FD", Nothing, text("\xFE"), hex("FE320000 FD"));
        row("backlight off with level 0 for off", Hello,
            both(Hello, [](Frame &f) { f.backlight(0); }), hex("FE07"));
        row("backlight off at a level of its own only dims", Hello,
            both(Hello, [](Frame &f) { f.setBrightness(0, 500), f.backlight(0); }), hex("FE2896"));
        row("brightness 1 is the module's lowest", Hello,
            both(Hello, [](Frame &f) { f.setBrightness(1, 1); }), hex("FE2832"));
        row("brightness 995 is one step below the highest", Hello,
            both(Hello, [](Frame &f) { f.setBrightness(1, 995); }), hex("FE28F9"));
        row("outputs", Hello, both(Hello, [](Frame &f) { f.output(5); }), hex("FE2F05"));
        row("block cursor: style, then place", Hello,
            both(Hello, [](Frame &f) { f.cursor(3, 2, 4); }), hex("FE02 FE320102"));
        row(
            "a full vbar of two cells fills its row and the one above", Nothing,
            [](Frame &f) { f.vbar(1, 2, 2, 1000, 0); }, hex("FE320000 FF FE320100 FF"));
        row(
            "a loaded glyph is not uploaded again", [](Frame &f) { f.icon(1, 1, 0x108); },
            [](Frame &f) { f.icon(5, 1, 0x108); }, hex("FE320000 20202020 00"));
        row(
            "a bar's end growing takes a free slot, the last glyph stays loaded",
            [](Frame &f) { f.hbar(1, 1, 2, 100, 0); }, [](Frame &f) { f.hbar(1, 1, 2, 200, 0); },
            hex("FE64") + QByteArray(8, 0x10) + QByteArray(8, 0x18) + QByteArray(48, 0) +
                hex("FE320000 01"));
        row("the glyph let go gives its slot to the one taking its cell", EightOwn,
            both(EightOwn, [](Frame &f) { f.icon(8, 1, 0x110); }), {}, 66);
        row("a cell of a slot let go changes before the upload, the others keep theirs", EightOwn,
            both(EightOwn, [](Frame &f) { f.chr(8, 1, 'x'), f.icon(10, 1, 0x110); }), {},
            5 + 66 + 2);
        row("nine glyphs: the heartbeat gives way", EightOwn,
            both(EightOwn, [](Frame &f) { f.heartbeat(1); }), hex("FE32000F 23"));
        for (int code = 8; code < 32; ++code)
            QTest::addRow("byte %d in text shows blank", code)
                << Hello << both(Hello, [code](Frame &f) { f.chr(1, 1, char(code)); })
                << hex("FE320000 20") << -1;
        // Bars ending at every pixel, across cell boundaries.
        for (int p = 0; p <= 1000; p += 50)
            QTest::addRow("hbar and vbar at %d", p)
                << Draw([p](Frame &f) { f.hbar(4, 1, 2, p - 50, 0); })
                << Draw([p](Frame &f) { f.hbar(4, 1, 2, p, 0), f.vbar(1, 2, 2, p, 0); })
                << QByteArray() << -1;
        for (int d = 0; d <= 10; ++d)
            QTest::addRow("big digit %d", d)
                << Draw([d](Frame &f) { f.num(1, (d + 1) % 11); })
                << Draw([d](Frame &f) { f.num(1, d), f.num(4, 10), f.heartbeat(1); })
                << QByteArray() << -1;
        // Every icon LCDd names is drawn, two-cell ones in plain characters; others are not.
        const int icons[] = {0x100, 0x108, 0x109, 0x110, 0x111, 0x112, 0x113, 0x120, 0x121,
                             0x122, 0x128, 0x129, 0x130, 0x200, 0x208, 0x101, 0x131, 0x209};
        for (int i = 0; i < 18; ++i)
            QTest::addRow("icon %x", icons[i]) << Nothing << Draw([icon = icons[i], i](Frame &f) {
                QCOMPARE(f.icon(2, 1, icon), i < 15);
                QCOMPARE(f.cell(0, 1) != Frame::Cell{}, i < 15);
            }) << QByteArray() << -1;
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
        const QByteArray z(16, 'Z');
        torvika::test::playAndCompare(model,
                                      hex("FE2F07 FE07 FE284D FE02 FE320000") + z +
                                          hex("FE320100") + z + hex("FE64") + QByteArray(64, 0x15),
                                      frame, false);
        encoder.forget();
        QCOMPARE(torvika::test::playAndCompare(model, encoder.flush(frame), frame, false), "");
    }

    // Lines of the driver's section ("key=value;..."): what the driver takes ("device speed
    // on/off keys poll"), or LCDd's report of a value it cannot use.
    void settings_data() {
        torvika::test::columns<QString, QString>({"lines", "taken"});
        const QString k32(32, u'k');
        // clang-format off
        QTest::newRow("nothing set: the defaults") << "" << "/dev/ttyUSB0 0 1000/0 Enter,Up,Down 50";
        QTest::newRow("the lowest taken; Key2 empty: no key") << "Speed=9600;Brightness=0;Key2=;Key3=" + k32 + ";InputPoll=10" << "/dev/ttyUSB0 9600 0/0 Enter,," + k32 + " 10";
        QTest::newRow("the highest taken") << "Speed=19200;Brightness=1000;OffBrightness=1000;InputPoll=10000" << "/dev/ttyUSB0 19200 1000/1000 Enter,Up,Down 10000";
        QTest::newRow("Speed 38400 refused") << "Speed=38400" << R"(Speed="38400" in [torvika] cannot be used: 9600, 19200 or auto; using auto)";
        QTest::newRow("Brightness 1001 refused") << "Brightness=1001" << R"(Brightness="1001" in [torvika] cannot be used: a whole number from 0 to 1000; using 1000)";
        QTest::newRow("Key1 with a blank refused") << "Key1=Page Up" << R"(Key1="Page Up" in [torvika] cannot be used: a key name of up to 32 letters, digits or signs, no blanks, or nothing for no key; using Enter)";
        QTest::newRow("Key3 of 33 signs refused") << "Key3=k" + k32 << "Key3=\"k" + k32 + "\" in [torvika] cannot be used: a key name of up to 32 letters, digits or signs, no blanks, or nothing for no key; using Down";
        QTest::newRow("InputPoll 9 refused") << "InputPoll=9" << R"(InputPoll="9" in [torvika] cannot be used: milliseconds from 10 to 10000; using 50)";
        QTest::newRow("InputPoll 10001 refused") << "InputPoll=10001" << R"(InputPoll="10001" in [torvika] cannot be used: milliseconds from 10 to 10000; using 50)";
        QTest::newRow("a relative Device refused") << "Device=ttyUSB1" << R"(Device="ttyUSB1" in [torvika] cannot be used: the path of a serial device, such as /dev/ttyUSB0; using /dev/ttyUSB0)";
        // clang-format on
    }
    void settings() {
        QFETCH(QString, lines);
        const SettingsCheck c = readSettings("torvika", [&](const char *key) {
            for (const QString &line : lines.split(u';'))
                if (line.section(u'=', 0, 0) == QLatin1String(key))
                    return std::optional(line.section(u'=', 1).toStdString());
            return std::optional<std::string>();
        });
        const Settings &s = c.settings;
        QTEST(QString::fromStdString(!c.problems.empty()
                                         ? c.problems.front()
                                         : s.device + ' ' + std::to_string(s.speed) + ' ' +
                                               std::to_string(s.brightness) + '/' +
                                               std::to_string(s.offBrightness) + ' ' + s.keys[0] +
                                               ',' + s.keys[1] + ',' + s.keys[2] + ' ' +
                                               std::to_string(s.inputPollMs)),
              "taken");
    }

    // Successive answers to the inputs query, and the presses each one makes.
    void keyEdges_data() {
        torvika::test::columns<QByteArray, QByteArray>({"answers", "presses"});
        QTest::newRow("the first answer sets what is there") << hex("01") << hex("00");
        QTest::newRow("LOW to HIGH is a press, HIGH held none")
            << hex("00 01 01") << hex("00 01 00");
        QTest::newRow("HIGH to LOW is none") << hex("03 01 03") << hex("00 00 02");
        QTest::newRow("inputs 1 and 3 at once, bits 3-7 none") << hex("00 FD") << hex("00 05");
    }
    void keyEdges() {
        QFETCH(QByteArray, answers);
        KeyEdges edges;
        for (char &a : answers)
            a = char(edges.pressed(std::uint8_t(a)));
        QTEST(answers, "presses");
    }

    // Whether a flush sends, at 9600 bit/s (120 bytes a frame): bytes written some ms ago, the
    // device's output queue, bytes it has not taken.
    void lineRoom_data() {
        torvika::test::columns<QList<int>, bool>({"writtenMsAgoQueueHeld", "sends"});
        QTest::newRow("120 just written: sends") << QList{120, 0, 0, 0} << true;
        QTest::newRow("the device's queue at 121: skipped") << QList{0, 0, 121, 0} << false;
        QTest::newRow("121 not taken: skipped") << QList{0, 0, 0, 121} << false;
        QTest::newRow("an adapter's empty queue, 240 on the wire: skipped")
            << QList{240, 0, 0, 0} << false;
        QTest::newRow("240 written 130 ms ago: sends") << QList{240, 130, 0, 0} << true;
    }
    void lineRoom() {
        QFETCH(QList<int>, writtenMsAgoQueueHeld);
        const QList<int> &w = writtenMsAgoQueueHeld;
        LineBacklog line(9600);
        line.wrote(w[0], 1000000);
        QTEST(mayFlush(w[2], line.queued(1000000 + w[1] * 1000), w[3], line.frameBudget()),
              "sends");
    }

    // The device takes so many bytes a call (0: it is full, -1: it failed) of "abcdefgh":
    // what reached it, what is still held for the next flush, and whether the line works.
    void handOver_data() {
        torvika::test::columns<QList<int>, QByteArray, QByteArray, bool>(
            {"takes", "reached", "held", "works"});
        QTest::newRow("3 a call: all of it, in order")
            << QList{3, 3, 3} << QByteArray("abcdefgh") << QByteArray("") << true;
        QTest::newRow("full after 5: the rest waits")
            << QList{5, 0} << QByteArray("abcde") << QByteArray("fgh") << true;
        QTest::newRow("failing after 2: the rest kept")
            << QList{2, -1} << QByteArray("ab") << QByteArray("cdefgh") << false;
    }
    void handOver() {
        QFETCH(QList<int>, takes);
        QByteArray held("abcdefgh"), reached("");
        LineBacklog line(9600);
        QTEST(torvika::lcdd::handOver(held, line, 0,
                                      [&](QByteArrayView bytes) -> std::optional<std::int64_t> {
                                          const int n = takes.value(0),
                                                    took = qBound(0, n, int(bytes.size()));
                                          takes.removeFirst();
                                          reached += bytes.first(took).toByteArray();
                                          return n < 0 ? std::nullopt : std::optional(took);
                                      }),
              "works");
        QTEST(reached, "reached");
        QTEST(held, "held");
        QCOMPARE(line.queued(0), reached.size());
    }
};

QTEST_GUILESS_MAIN(TstLcdd)
#include "tst_lcdd.moc"

// The bytes of the frames, literal, and the module's decoder on frames and on what none can be.
#include "module/displaymodel.h"
#include "protocol/framedecoder.h"
#include "protocol/frames.h"
#include "protocol/hex.h"
#include "support/data.h"

#include <QSet>
#include <QTest>

using namespace torvika::protocol;
using torvika::test::columns;
using torvika::test::fetch;
using torvika::test::hex;
using K = DecodedFrame::Kind;
using Kinds = QList<K>;

namespace {

// Command bytes (FE00 | command) and control bytes met in an accepted row.
QSet<int> covered;

// built: what the builder gave; bytes: the expected frame in hex (for a refused one, what the
// module must refuse, if anything); reading: the decoded reading, empty when refused.
void edge(const char *name, const QByteArray &built, const QByteArray &bytes, const char *reading) {
    const QByteArray frame = QByteArray::fromHex(bytes);
    if (*reading && !frame.isEmpty())
        covered << (frame[0] == '\xfe' ? 0xFE00 | quint8(frame.at(1)) : quint8(frame[0]));
    QTest::newRow(name) << built << frame << QString::fromUtf8(reading);
}
void edge(const char *name, const std::optional<Frame> &built, const QByteArray &bytes,
          const char *reading) {
    edge(name, built ? built->toByteArray() : QByteArray(), bytes, reading);
}

} // namespace

Q_DECLARE_METATYPE(K)

class TstProtocol : public QObject {
    Q_OBJECT
private slots:
    // Every command and control at both ends of each argument's range, and one past each end:
    // the builder's bytes, their length and reading once decoded, and the module's verdict.
    void everyCommandAtItsEdges_data() {
        columns<QByteArray, QByteArray, QString>({"built", "bytes", "reading"});
        const auto s16 = QStringLiteral("ABCDEFGHIJKLMNOP");
        Bitmaps full;
        full.fill(0x1F);
        edge("user character 0", insertCustomChar(0), "00", "user character 0");
        edge("user character 7", insertCustomChar(7), "07", "user character 7");
        edge("user character 8 is refused", insertCustomChar(8), "", "");
        edge("user character -1 is refused", insertCustomChar(-1), "", "");
        edge("cursor home", lcdControl(0), "0B", "cursor home");
        edge("next line", lcdControl(1), "0C", "next line");
        edge("clear screen", lcdControl(2), "0D", "clear screen");
        edge("LCD control 3 is refused", lcdControl(3), "", "");
        edge("LCD control -1 is refused", lcdControl(-1), "", "");
        edge("back space", backspace(), "08", "back space");
        edge("cursor left", cursorLeft(), "0E", "cursor left");
        edge("cursor right", cursorRight(), "0F", "cursor right");
        edge("text 32, a space", textChar(32), "20", "text \" \"");
        edge("text 255", textChar(255), "FF", "text \"\\xFF\"");
        edge("a quote is escaped", textChar('"'), "22", "text \"\\x22\"");
        edge("text 127 is shown as a code", textChar(127), "7F", "text \"\\x7F\"");
        edge("text 31 is refused", textChar(31), "", "");
        edge("text 256 is refused", textChar(256), "", "");
        edge("underline", cursorStyle(0), "FE01", "cursor: underline");
        edge("blinking block", cursorStyle(1), "FE02", "cursor: blinking block");
        edge("hidden", cursorStyle(2), "FE03", "cursor: hidden");
        edge("cursor style 3 is refused", cursorStyle(3), "", "");
        edge("cursor style -1 is refused", cursorStyle(-1), "", "");
        edge("init graph", initGraph(), "FE04", "prepare bar graph characters");
        edge("backlight on", backlight(0), "FE06", "backlight on");
        edge("backlight off", backlight(1), "FE07", "backlight off");
        edge("backlight 2 is refused", backlight(2), "", "");
        edge("backlight -1 is refused", backlight(-1), "", "");
        edge("load user characters", loadCustomChars(), "FE08", "load user characters from memory");
        edge("read inputs", readInputs(), "FE0A", "read inputs");
        edge("save settings", saveSettings(), "FE140D", "save settings to memory");
        edge("erase", eraseStartupScreenWrites().value(0), "FE150D", "erase startup screen");
        edge("show startup screen", showStartupScreen(), "FE16", "show startup screen");
        edge("speed 9600", moduleSpeedWrites(9600).value(1), "FE1E", "module line speed 9600");
        edge("speed 19200", moduleSpeedWrites(19200).value(1), "FE1F", "module line speed 19200");
        edge("speed 4800 is refused", moduleSpeedWrites(4800).value(1), "", "");
        edge("brightness 50", setBrightness(50), "FE2832", "brightness 50");
        edge("brightness 250", setBrightness(250), "FE28FA", "brightness 250");
        edge("brightness 49 is refused", setBrightness(49), "FE2831", "");
        edge("brightness 251 is refused", setBrightness(251), "FE28FB", "");
        edge("graph width 1", graph(0, 0), "FE2B01", "bar graph left to right, 1 column");
        edge("graph width 80", graph(0, 79), "FE2B50", "bar graph left to right, 80 columns");
        edge("graph width 0 is refused", graph(0, -1), "FE2B00", "");
        edge("graph width 81 is refused", graph(0, 80), "FE2B51", "");
        edge("right to left, 80", graph(1, 79), "FE2C50", "bar graph right to left, 80 columns");
        edge("right to left, width 81 is refused", graph(1, 80), "FE2C51", "");
        edge("graph 2 is refused", graph(2, 0), "", "");
        edge("clear row 0", clearRowOrColumn(0, 0), "FE2D00", "clear row 0");
        edge("clear row 1", clearRowOrColumn(0, 1), "FE2D01", "clear row 1");
        edge("clear row 2 is refused", clearRowOrColumn(0, 2), "FE2D02", "");
        edge("clear row -1 is refused", clearRowOrColumn(0, -1), "", "");
        edge("clear column 0", clearRowOrColumn(1, 0), "FE2E00", "clear column 0");
        edge("clear column 15", clearRowOrColumn(1, 15), "FE2E0F", "clear column 15");
        edge("clear column 16 is refused", clearRowOrColumn(1, 16), "FE2E10", "");
        edge("clear 2 is refused", clearRowOrColumn(2, 0), "", "");
        edge("outputs none", setOutputs(0), "FE2F00", "outputs ---");
        edge("outputs 1 and 3", setOutputs(outputMask(true, false, true)), "FE2F05", "outputs 1-3");
        edge("outputs all", setOutputs(7), "FE2F07", "outputs 123");
        edge("outputs 8 is refused", setOutputs(8), "", "");
        edge("cursor 0, 0", setCursorPosition(0, 0), "FE320000", "cursor to row 0, column 0");
        edge("cursor 1, 15", setCursorPosition(1, 15), "FE32010F", "cursor to row 1, column 15");
        edge("cursor row 2 is refused", setCursorPosition(2, 0), "FE320200", "");
        edge("cursor column 16 is refused", setCursorPosition(1, 16), "FE320110", "");
        edge("cursor row -1 is refused", setCursorPosition(-1, 0), "", "");
        edge("user characters all lit", customCharBitmaps(full),
             "FE64" + QByteArray("1F").repeated(64), "define the 8 user characters");
        full.fill(0xFE);
        edge("user characters may hold FE", customCharBitmaps(full),
             "FE64" + QByteArray("FE").repeated(64), "define the 8 user characters");
        edge("startup rows of 16", setStartupScreen(s16, s16.toLower()).frame,
             "FEC8" + s16.toLatin1().toHex() + "0D" + s16.toLower().toLatin1().toHex() + "FF",
             "store startup screen \"ABCDEFGHIJKLMNOP\" / \"abcdefghijklmnop\"");
        edge("startup row 0 of 1, row 1 empty", setStartupScreen("a", "").frame, "FEC8610DFF",
             "store startup screen \"a\" / \"\"");
        edge("startup text may hold FE", setStartupScreen("\u00fe", "\u00e9").frame, "FEC8FE0DE9FF",
             "store startup screen \"\u00fe\" / \"\u00e9\"");
        edge("startup row 0 empty is refused", setStartupScreen("", "a").frame, "FEC80D61FF", "");
        edge("startup row 0 of 17 is refused", setStartupScreen(s16 + "Q", "").frame, "", "");
        edge("startup row 1 of 17 is refused", setStartupScreen("a", s16 + "Q").frame, "", "");
        // A command or control of the tables without an accepted row above fails here.
        for (const CommandSpec &spec : commandTable())
            QVERIFY2(covered.contains(0xFE00 | byteOf(spec.command)), spec.name);
        for (const ControlSpec &spec : controlTable())
            QVERIFY2(covered.contains(byteOf(spec.control)), spec.name);
    }
    void everyCommandAtItsEdges() {
        const auto [built, bytes, reading] =
            fetch<QByteArray, QByteArray, QString>({"built", "bytes", "reading"});
        FrameDecoder decoder;
        const QList<DecodedFrame> frames = decoder.feed(bytes);
        torvika::module::DisplayModel module;
        if (reading.isEmpty()) {
            QCOMPARE(built, QByteArray());
            if (!bytes.isEmpty()) // the module, sent those bytes, refuses them too
                QVERIFY(frames.size() != 1 || !module.apply(frames[0]).problem.isEmpty());
            return;
        }
        QCOMPARE(built.toHex(' '), bytes.toHex(' '));
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames[0].bytes.size(), bytes.size());
        QCOMPARE(frames[0].meaning(), reading);
        QCOMPARE(module.apply(frames[0]).problem, QString());
        QVERIFY(decoder.pending().isEmpty());
    }

    void typedText_data() {
        columns<QString, QByteArray, bool>({"typed", "bytes", "refused"});
        QTest::newRow("latin-1 and FE go out bare") << "\u00e9\u00fe" << hex("E9 FE") << false;
        QTest::newRow("control codes, Delete: none") << "\b\r\x7f" << QByteArray() << false;
        QTest::newRow("above 255 refuses the whole text") << "A\u20ac" << QByteArray() << true;
    }
    void typedText() {
        QFETCH(QString, typed);
        const TypedText text = torvika::protocol::typedText(typed);
        QTEST(text.bytes, "bytes");
        QTEST(text.problem.contains(u"8364"), "refused");
    }

    // The custom character frame in eight writes: prefix, command, character 0, then one each.
    void dialogFrames() {
        Bitmaps bitmaps{};
        for (int i = 0; i < UserChars * CharRows; ++i)
            bitmaps[std::size_t(i)] = std::uint8_t(i / CharRows + 1); // character n's rows: n + 1
        const QList<QByteArray> writes = customCharWrites(bitmaps);
        QCOMPARE(writes.size(), 8);
        QCOMPARE(writes[0], hex("FE 64 01 01 01 01 01 01 01 01"));
        QCOMPARE(writes[7], QByteArray(8, 8));
        QCOMPARE(customCharBitmaps(bitmaps), writes.join());
    }

    // Refused startup rows: no frame, and the row and the character named.
    void startupScreen_data() {
        columns<QString, QString, QString>({"row0", "row1", "named"});
        const char *const rows[][4] = {
            {"carriage return would split the rows", "a\rb", "",
             "Row 0 holds carriage return (code 13)"},
            {"y with diaeresis would end the frame", "ok", "x\u00ff",
             "Row 1 holds \"\u00ff\" (code 255)"},
            {"a character outside the basic plane", "ok", "\U0001F600", "(code 128512)"}};
        for (const auto &r : rows)
            QTest::newRow(r[0]) << r[1] << r[2] << r[3];
    }
    void startupScreen() {
        const auto [row0, row1, named] =
            fetch<QString, QString, QString>({"row0", "row1", "named"});
        const StartupScreen screen = setStartupScreen(row0, row1);
        QVERIFY2(screen.frame.isEmpty() && screen.problem.contains(named),
                 qPrintable(screen.problem));
    }

    void anySplitGivesTheSameFrames() {
        const QByteArray line = hex("4869FE32010F") + hex("FE64") + QByteArray(64, '\x05') +
                                hex("FEC86162630D78797AFF FE140D") + "Saved" + hex("FE0A 0D");
        const QList<DecodedFrame> whole = FrameDecoder().feed(line);
        QCOMPARE(whole.size(), 13);
        QCOMPARE(whole[2].describe(), QStringLiteral("FE 32 01 0F  cursor to row 1, column 15"));
        for (qsizetype cut = 0; cut <= line.size(); ++cut) {
            FrameDecoder d;
            QList<DecodedFrame> frames = d.feed(line.first(cut));
            frames += d.feed(line.mid(cut));
            QCOMPARE(frames, whole);
            QVERIFY(d.pending().isEmpty());
        }
    }

    // What cannot be placed is reported, and the next byte starts afresh.
    void unknownInputResynchronises_data() {
        columns<QByteArray, Kinds>({"bytes", "kinds"});
        const K U = K::Unknown, T = K::Text;
        QTest::newRow("bytes 9, 10, 16 to 31 mean nothing")
            << hex("090A101F41") << Kinds{U, U, U, U, T};
        QTest::newRow("an unknown command takes its byte") << hex("FE0541") << Kinds{U, T};
        QTest::newRow("startup screen without a separator") << hex("FEC86162FF41") << Kinds{U, T};
        QTest::newRow("startup row 0 empty") << hex("FEC80D6162FF") << Kinds{U};
        QTest::newRow("startup row over 16")
            << hex("FEC8") + QByteArray(17, 'a') + hex("0DFF") << Kinds{U};
        QTest::newRow("never ends: cut at its longest")
            << hex("FEC8") + QByteArray(36, 'a') << Kinds{U, T, T};
    }
    void unknownInputResynchronises() {
        QFETCH(QByteArray, bytes);
        FrameDecoder d;
        Kinds got;
        QByteArray all;
        for (const DecodedFrame &f : d.feed(bytes)) {
            got << f.kind;
            all += f.bytes;
        }
        QTEST(got, "kinds");
        QCOMPARE(all + d.pending(), bytes); // every byte accounted for
    }

    void truncatedFramesWaitThenFlush() {
        for (const QByteArray &bytes : {hex("FE"), hex("FE3201"), hex("FEC8616263")}) {
            FrameDecoder d;
            QVERIFY(d.feed(bytes).isEmpty());
            const std::optional<DecodedFrame> cut = d.flush();
            QVERIFY(cut && cut->kind == K::Unknown && cut->bytes == bytes);
            QVERIFY(d.pending().isEmpty() && !d.flush());
            QCOMPARE(d.feed("A").size(), 1); // and it starts afresh
        }
    }
};

QTEST_GUILESS_MAIN(TstProtocol)
#include "tst_protocol.moc"

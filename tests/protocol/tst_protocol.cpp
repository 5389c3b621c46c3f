// The bytes of the frames, literal, and the module's decoder on frames and on what none can be.
#include "protocol/framedecoder.h"
#include "protocol/frames.h"
#include "protocol/hex.h"
#include "support/data.h"

#include <QTest>

using namespace torvika::protocol;
using torvika::test::columns;
using torvika::test::hex;
using K = DecodedFrame::Kind;
using Kinds = QList<K>;

namespace {

void startupRow(const char *name, const char *row0, const char *row1, const QByteArray &frame,
                const char *named) {
    QTest::newRow(name) << QString::fromUtf8(row0) << QString::fromUtf8(row1) << frame
                        << QString::fromUtf8(named);
}
void meaningRow(const char *name, const QByteArray &bytes, K kind, const char *meaning) {
    QTest::newRow(name) << bytes << kind << QString::fromUtf8(meaning);
}

} // namespace

Q_DECLARE_METATYPE(K)

class TstProtocol : public QObject {
    Q_OBJECT
private slots:
    // The window tests send each control's usual frame; here are the ends of the ranges.
    void builderRanges() {
        QVERIFY(!insertCustomChar(-1) && !textChar(31) && !textChar(256) && !setBrightness(256));
        QVERIFY(!graph(0, 255) && !setCursorPosition(0, -1));
        QCOMPARE(textChar(32)->toByteArray(), hex("20"));
        QCOMPARE(cursorStyle(2)->toByteArray(), hex("FE03"));
        QCOMPARE(setOutputs(outputMask(true, false, true))->toByteArray(), hex("FE2F05"));
        QCOMPARE(inputsMeaning(0xFD), QStringLiteral("inputs: 1 HIGH, 2 LOW, 3 HIGH"));
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
        QVERIFY(moduleSpeedWrites(4800).isEmpty()); // the dialog's window test reads the others
    }

    void startupScreen_data() {
        columns<QString, QString, QByteArray, QString>({"row0", "row1", "frame", "named"});
        startupRow("empty row 1 puts FF right after 0D", "ab ", "", hex("FEC8 616220 0D FF"), "");
        startupRow("latin-1 and FE go out bare", "\u00e9\u00fe", "\u00a3",
                   hex("FEC8 E9FE 0D A3 FF"), "");
        startupRow("carriage return would split the rows", "a\rb", "", {},
                   "Row 0 holds carriage return (code 13)");
        startupRow("y with diaeresis would end the frame", "ok", "x\u00ff", {},
                   "Row 1 holds \"\u00ff\" (code 255)");
        startupRow("a character outside the basic plane", "ok", "\U0001F600", {}, "(code 128512)");
    }
    void startupScreen() {
        QFETCH(QString, row0);
        QFETCH(QString, row1);
        QFETCH(QString, named);
        const StartupScreen screen = setStartupScreen(row0, row1);
        QTEST(screen.frame, "frame");
        QVERIFY2(named.isEmpty() ? screen.problem.isEmpty() : screen.problem.contains(named),
                 qPrintable(screen.problem));
    }

    // One frame of each kind and each way of reading its arguments.
    void decodesEveryFrame_data() {
        columns<QByteArray, K, QString>({"bytes", "kind", "meaning"});
        meaningRow("user character 7", hex("07"), K::CustomChar, "user character 7");
        meaningRow("back space", hex("08"), K::Control, "back space");
        meaningRow("latin-1", hex("E9"), K::Text, "text \"\\xE9\"");
        meaningRow("a quote is escaped", hex("22"), K::Text, "text \"\\x22\"");
        meaningRow("hide", hex("FE03"), K::Command, "cursor: hidden");
        meaningRow("save", hex("FE140D"), K::Command, "save settings to memory");
        meaningRow("brightness 50", hex("FE2832"), K::Command, "brightness 50");
        meaningRow("outputs 1 and 3", hex("FE2F05"), K::Command, "outputs 1-3");
        meaningRow("cursor position", hex("FE32010F"), K::Command, "cursor to row 1, column 15");
        meaningRow("characters may hold FE and FF",
                   hex("FE64") + QByteArray(32, '\xfe') + QByteArray(32, '\xff'), K::Command,
                   "define the 8 user characters");
        meaningRow("startup abc/xyz", hex("FEC86162630D78797AFF"), K::Command,
                   "store startup screen \"abc\" / \"xyz\"");
        meaningRow("startup text may hold FE", hex("FEC8FE0DFF"), K::Command,
                   "store startup screen \"\u00fe\" / \"\"");
    }
    void decodesEveryFrame() {
        QFETCH(QByteArray, bytes);
        const QList<DecodedFrame> frames = FrameDecoder().feed(bytes);
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames[0].bytes, bytes);
        QTEST(frames[0].kind, "kind");
        QTEST(frames[0].meaning(), "meaning");
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

// The module's decoder on every frame the panel sends, in any chunking, and on what no
// frame can be.
#include "protocol/framedecoder.h"

#include <QTest>

using namespace torvika::protocol;
using Frame = torvika::protocol::DecodedFrame;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

using Kinds = QList<Frame::Kind>;

QList<Frame> decodeWhole(const QByteArray &bytes) {
    FrameDecoder d;
    return d.feed(bytes);
}

} // namespace

Q_DECLARE_METATYPE(Frame::Kind)

class TstFrameDecoder : public QObject {
    Q_OBJECT
private slots:
    // One frame each, as the panel and its dialog send them.
    void everyFrameOfTheProtocol_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Frame::Kind>("kind");
        QTest::addColumn<QString>("meaning");
        using K = Frame::Kind;
        QTest::newRow("user character 0") << hex("00") << K::CustomChar << "user character 0";
        QTest::newRow("user character 7") << hex("07") << K::CustomChar << "user character 7";
        QTest::newRow("back space") << hex("08") << K::Control << "back space";
        QTest::newRow("home") << hex("0B") << K::Control << "cursor home";
        QTest::newRow("next line") << hex("0C") << K::Control << "next line";
        QTest::newRow("clear") << hex("0D") << K::Control << "clear screen";
        QTest::newRow("left") << hex("0E") << K::Control << "cursor left";
        QTest::newRow("right") << hex("0F") << K::Control << "cursor right";
        QTest::newRow("space") << hex("20") << K::Text << "text \" \"";
        QTest::newRow("letter") << QByteArray("A") << K::Text << "text \"A\"";
        QTest::newRow("latin-1") << hex("E9") << K::Text << "text character 233";
        QTest::newRow("FF is text") << hex("FF") << K::Text << "text character 255";
        QTest::newRow("underline") << hex("FE01") << K::Command << "cursor: underline";
        QTest::newRow("block") << hex("FE02") << K::Command << "cursor: blinking block";
        QTest::newRow("hide") << hex("FE03") << K::Command << "cursor: hidden";
        QTest::newRow("init graph") << hex("FE04") << K::Command << "prepare bar graph characters";
        QTest::newRow("backlight on") << hex("FE06") << K::Command << "backlight on";
        QTest::newRow("backlight off") << hex("FE07") << K::Command << "backlight off";
        QTest::newRow("load chars")
            << hex("FE08") << K::Command << "load user characters from memory";
        QTest::newRow("read inputs") << hex("FE0A") << K::Command << "read inputs";
        QTest::newRow("save") << hex("FE140D") << K::Command << "save settings to memory";
        QTest::newRow("erase startup") << hex("FE150D") << K::Command << "erase startup screen";
        QTest::newRow("show startup") << hex("FE16") << K::Command << "show startup screen";
        QTest::newRow("9600") << hex("FE1E") << K::Command << "module line speed 9600";
        QTest::newRow("19200") << hex("FE1F") << K::Command << "module line speed 19200";
        QTest::newRow("brightness 50") << hex("FE2832") << K::Command << "brightness 50";
        QTest::newRow("graph left to right")
            << hex("FE2B50") << K::Command << "bar graph left to right, 80 columns";
        QTest::newRow("graph right to left")
            << hex("FE2C01") << K::Command << "bar graph right to left, 1 columns";
        QTest::newRow("clear row") << hex("FE2D01") << K::Command << "clear row 1";
        QTest::newRow("clear column") << hex("FE2E0F") << K::Command << "clear column 15";
        QTest::newRow("outputs 1 and 3") << hex("FE2F05") << K::Command << "outputs 1-3";
        QTest::newRow("cursor position")
            << hex("FE32010F") << K::Command << "cursor to row 1, column 15";
        QTest::newRow("custom characters")
            << hex("FE64") + QByteArray(64, '\x1f') << K::Command << "define the 8 user characters";
        QTest::newRow("custom characters may hold FE and FF")
            << hex("FE64") + QByteArray(32, '\xfe') + QByteArray(32, '\xff') << K::Command
            << "define the 8 user characters";
        QTest::newRow("startup abc/xyz") << hex("FEC86162630D78797AFF") << K::Command
                                         << "store startup screen \"abc\" / \"xyz\"";
        QTest::newRow("startup with an empty row 1")
            << hex("FEC86162630DFF") << K::Command << "store startup screen \"abc\" / \"\"";
        QTest::newRow("startup, two full rows")
            << hex("FEC8") + QByteArray(16, 'a') + hex("0D") + QByteArray(16, 'b') + hex("FF")
            << K::Command << "store startup screen \"aaaaaaaaaaaaaaaa\" / \"bbbbbbbbbbbbbbbb\"";
        QTest::newRow("startup text may hold FE")
            << hex("FEC8FE0DFF") << K::Command << "store startup screen \"\u00fe\" / \"\"";
    }
    void everyFrameOfTheProtocol() {
        QFETCH(QByteArray, bytes);
        QFETCH(Frame::Kind, kind);
        QFETCH(QString, meaning);
        const QList<Frame> frames = decodeWhole(bytes);
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames[0].bytes.toHex(' '), bytes.toHex(' '));
        QCOMPARE(frames[0].kind, kind);
        QCOMPARE(frames[0].meaning(), meaning);
    }

    // The same frames must come out however the line cuts the bytes.
    void anySplitGivesTheSameFrames() {
        const QByteArray line = hex("4869FE32010F") + hex("FE64") + QByteArray(64, '\x05') +
                                hex("FEC86162630D78797AFF") + hex("FE140D") + "Settings Saved" +
                                hex("FE0A00070DFE2F07");
        const QList<Frame> whole = decodeWhole(line);
        QCOMPARE(whole.size(), 25);
        for (qsizetype cut = 0; cut <= line.size(); ++cut) {
            FrameDecoder d;
            QList<Frame> frames = d.feed(line.first(cut));
            frames += d.feed(line.mid(cut));
            QCOMPARE(frames, whole);
            QVERIFY(d.pending().isEmpty());
        }
        FrameDecoder byteByByte;
        QList<Frame> frames;
        for (const char b : line)
            frames += byteByByte.feed(QByteArray(1, b));
        QCOMPARE(frames, whole);
    }

    void describedWithTheirBytes() {
        const QList<Frame> frames = decodeWhole(hex("FE32010F"));
        QCOMPARE(frames[0].describe(), QStringLiteral("FE 32 01 0F  cursor to row 1, column 15"));
    }

    // What cannot be placed is reported, and the next byte starts afresh.
    void unknownInputResynchronises_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Kinds>("kinds");
        QTest::addColumn<QByteArray>("lastFrame");
        using K = Frame::Kind;
        QTest::newRow("bytes 9, 10 and 16 to 31 have no meaning")
            << hex("090A101F41") << Kinds{K::Unknown, K::Unknown, K::Unknown, K::Unknown, K::Text}
            << QByteArray("A");
        QTest::newRow("an unknown command takes its byte, then text")
            << hex("FE0541") << Kinds{K::Unknown, K::Text} << QByteArray("A");
        QTest::newRow("FE FE is an unknown command")
            << hex("FEFE0D") << Kinds{K::Unknown, K::Control} << hex("0D");
        QTest::newRow("command 9, never sent, is unknown")
            << hex("FE09FE06") << Kinds{K::Unknown, K::Command} << hex("FE06");
        QTest::newRow("startup screen without a separator")
            << hex("FEC86162FF41") << Kinds{K::Unknown, K::Text} << QByteArray("A");
        QTest::newRow("startup row 0 empty")
            << hex("FEC80D6162FF") << Kinds{K::Unknown} << hex("FEC80D6162FF");
        QTest::newRow("startup row over 16 characters")
            << hex("FEC8") + QByteArray(17, 'a') + hex("0DFF") << Kinds{K::Unknown}
            << hex("FEC8") + QByteArray(17, 'a') + hex("0DFF");
        QTest::newRow("startup screen that never ends is cut at its longest")
            << hex("FEC8") + QByteArray(40, 'a')
            << Kinds{K::Unknown, K::Text, K::Text, K::Text, K::Text, K::Text, K::Text}
            << QByteArray("a");
    }
    void unknownInputResynchronises() {
        QFETCH(QByteArray, bytes);
        QFETCH(Kinds, kinds);
        QFETCH(QByteArray, lastFrame);
        FrameDecoder d;
        const QList<Frame> frames = d.feed(bytes);
        Kinds got;
        QByteArray all;
        for (const Frame &f : frames) {
            got << f.kind;
            all += f.bytes;
        }
        QCOMPARE(got, kinds);
        QCOMPARE(frames.last().bytes.toHex(' '), lastFrame.toHex(' '));
        QCOMPARE(all + d.pending(), bytes); // every byte accounted for
    }

    void truncatedFramesWaitThenFlush_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("the prefix alone") << hex("FE");
        QTest::newRow("cursor position without its column") << hex("FE3201");
        QTest::newRow("custom characters short of one byte") << hex("FE64") + QByteArray(63, 0);
        QTest::newRow("startup screen without its end") << hex("FEC8616263");
    }
    void truncatedFramesWaitThenFlush() {
        QFETCH(QByteArray, bytes);
        FrameDecoder d;
        QVERIFY(d.feed(bytes).isEmpty());
        QCOMPARE(d.pending(), bytes);
        const std::optional<Frame> cut = d.flush();
        QVERIFY(cut);
        QCOMPARE(cut->kind, Frame::Kind::Unknown);
        QCOMPARE(cut->bytes, bytes);
        QVERIFY(d.pending().isEmpty());
        QVERIFY(!d.flush());
        // And it starts afresh.
        QCOMPARE(d.feed("A").size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstFrameDecoder)
#include "tst_framedecoder.moc"

// torvika-send's argument parser on arbitrary command lines (arguments separated by NUL
// bytes, UTF-8), and the same bytes as one line of --stdin: never crashes; a refusal names
// what is wrong, and an accepted call puts on the line only whole, well-formed frames.
#include "protocol/framedecoder.h"
#include "sendcli/arguments.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

using namespace torvika;

namespace {

void check(const sendcli::ParseResult &parsed) {
    if (!parsed.invocation) {
        if (parsed.error.isEmpty())
            std::abort(); // a refusal always says why
        return;
    }
    if (!parsed.error.isEmpty())
        std::abort();
    protocol::FrameDecoder decoder;
    for (const protocol::DecodedFrame &frame :
         decoder.feed(sendcli::bytesOf(parsed.invocation->steps)))
        if (frame.kind == protocol::DecodedFrame::Kind::Unknown)
            std::abort(); // text turned into a command, or a frame the module cannot read
    if (!decoder.pending().isEmpty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QStringList args;
    for (const QByteArray &arg : input.split('\0'))
        args << QString::fromUtf8(arg);
    check(sendcli::parseArguments(args));
    check(sendcli::parseCommandLine(QString::fromUtf8(input)));
    return 0;
}

// libFuzzer entry for the RTF reader: any bytes must be read or refused as not RTF, never
// crash, hang or leak; what was read must also survive the writer and a second read.
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // pictures are decoded and drawn
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    try {
        RtfReader::Read(bytes, &document);
    } catch (const RtfReader::NotRtfError &) {
        if (RtfReader::LooksLikeRtf(bytes))
            std::abort();
        return 0;
    }
    const QByteArray written = RtfWriter::Write(document);
    QTextDocument again;
    RtfReader::Read(written, &again);
    if (again.toPlainText() != document.toPlainText())
        std::abort(); // the writer lost or changed text
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// RTF: any bytes are read into a document or refused with a message, without
// a crash or a hang; what is read is written as RTF and read back with the
// same text.

#include "FuzzSupport.h"
#include "project/RtfReader.h"
#include "project/RtfWriter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>

using namespace dazo;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Documents need the font database, and that needs an application.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    try {
        ui::ReadRtf(bytes, document);
    } catch (const DazoError& e) {
        fuzz::RequireMessage(e);
        fuzz::Require(!ui::IsRtf(bytes), "RTF refused");
        return 0;
    }
    QTextDocument again;
    ui::ReadRtf(ui::WriteRtf(document), again);
    fuzz::Require(again.toPlainText() == document.toPlainText(), "text changed by writing and reading it");
    // The program's event loop runs between two documents, and Qt trims its
    // font caches there; without it every font name ever read stays cached.
    QCoreApplication::processEvents();
    return 0;
}

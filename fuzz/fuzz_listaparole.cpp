// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the word-list reader: any bytes at all are decoded and split into fields,
// and what comes out must keep the reader's promises.

#include "game/ListaParole.h"
#include "invarianti.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace
{

// Strict UTF-8, written out here so the reader's choice of code page is checked against an
// independent judgement: no overlong forms, no surrogates, nothing above U+10FFFF.
bool utf8Valido(const unsigned char *s, std::size_t n)
{
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        std::size_t seguito;
        std::uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            seguito = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            seguito = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            seguito = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= seguito)
            return false;
        for (std::size_t k = 1; k <= seguito; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if ((seguito == 2 && cp < 0x800) || (seguito == 3 && cp < 0x10000) || cp > 0x10FFFF
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += seguito + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *dati, std::size_t dimensione)
{
    const QByteArray byte(reinterpret_cast<const char *>(dati), qsizetype(dimensione));
    const QString testo = listaparole::decodifica(byte);

    // The code page: after a UTF-16 byte-order mark, one character per two bytes (an odd last byte
    // is one more); valid UTF-8 reads exactly as QString::fromUtf8 reads it (which drops one leading
    // byte-order mark, and keeps a second); anything else is one character per byte. One 0x1A at
    // the very end is the end of the file.
    const listaparole::Codifica codifica = listaparole::codifica(byte);
    const bool utf16 = byte.startsWith("\xFF\xFE") || byte.startsWith("\xFE\xFF");
    const bool bom = byte.startsWith("\xEF\xBB\xBF");
    const QByteArray corpo = bom ? byte.mid(3) : byte;
    auto senzaFine = [](QString t) {
        if (t.endsWith(QChar(0x1A)))
            t.chop(1);
        return t;
    };
    if (utf16) {
        VERIFICA(codifica == listaparole::Codifica::utf16le || codifica == listaparole::Codifica::utf16be);
        const qsizetype unita = (byte.size() - 2 + 1) / 2;
        VERIFICA(testo.size() == unita || testo.size() == unita - 1);
    } else if (utf8Valido(
                   reinterpret_cast<const unsigned char *>(corpo.constData()), std::size_t(corpo.size()))) {
        VERIFICA(codifica == (bom ? listaparole::Codifica::utf8Bom : listaparole::Codifica::utf8));
        VERIFICA(testo == senzaFine(QString::fromUtf8(byte)));
    } else {
        VERIFICA(codifica == listaparole::Codifica::windows1252);
        VERIFICA(testo.size() == corpo.size() - (corpo.endsWith('\x1A') ? 1 : 0));
    }

    const std::size_t limite = listaparole::massimoParole + 1;
    const auto campi = listaparole::leggiCampi(testo, limite);
    VERIFICA(campi.size() <= limite);
    int riga = 1;
    qsizetype caratteri = 0;
    for (const listaparole::Campo &c : campi) {
        VERIFICA(c.riga >= 1);
        VERIFICA(c.riga >= riga);
        riga = c.riga;
        caratteri += c.parola.size();
    }
    // Words are pieces of the text: together they can never be longer than it.
    VERIFICA(caratteri <= testo.size());
    // Lines can only be counted from line ends that are there.
    VERIFICA(riga <= 1 + testo.count(u'\n') + testo.count(u'\r'));

    // Stopping early gives the same first fields.
    const std::size_t poche = campi.size() / 2;
    const auto primi = listaparole::leggiCampi(testo, poche);
    VERIFICA(primi.size() == poche);
    for (std::size_t i = 0; i < poche; ++i)
        VERIFICA(primi[i].parola == campi[i].parola && primi[i].riga == campi[i].riga);
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringView>

namespace immagini
{

// The picture of a word, looked up as the game does it: the data folder, "jpg", the word as it is
// held at that moment (in the letter case in force) without its leading spaces, then ".jpg"; each
// name taken as written first, then in one normalisation form, then without regard to case
// (percorsi::dati). The game and the checker both go through here. Throws Errore, naming the path
// the word would make, when the word cannot be a file name (percorsi::nomeSicuro): a word never
// leads outside the picture folder.
QString percorsoParola(const QString &cartellaDati, QStringView parola);

// What decoding a picture found, besides the picture itself.
struct Lettura {
    QImage immagine; // at the size asked for, upright
    QSize originale; // as the picture is shown: width and height after its EXIF orientation
    int avvisi = 0; // damaged or missing data the decoder filled in (the game shows it grey)
    int orientamento = 1; // the EXIF orientation applied, 1 to 8
};

// Decodes the picture file straight to the given size in device pixels, stretched to fill it
// (width and height independently), upright by its EXIF orientation. A JPEG is decoded by
// libjpeg-turbo at the smallest DCT scale that still covers the size, then averaged down to it
// (ridotta(); a large photo's rows as they arrive), so a phone's 108-megapixel photo costs a few
// tens of milliseconds and a few megabytes. What decoding may cost is bounded, whatever the header claims:
// the file's size, the decoder's memory (a progressive JPEG needs its whole coefficient buffer) and the
// number of scans. Throws Errore, naming the file and saying in Italian what is wrong, when the picture is
// missing, is no file, cannot be opened, is no picture the game reads or would cost more than the bounds.
Lettura leggi(const QString &percorso, QSize dimensione);

// leggi()'s verdict without the picture, for the checker: the same errors, the same count of damaged
// data and the same sizes, as every block of a JPEG is still decoded, but only at the smallest DCT
// scale and without reducing it to the box (Lettura::immagine is null). The verdict is kept: the
// same path and box, the file unchanged on disk (device, inode, size, modification and change
// times), is not decoded again. Safe to call from several threads at once.
Lettura esamina(const QString &percorso, QSize dimensione);

// leggi(), the picture only. The picture shown last is kept: the same file, unchanged on disk, at
// the same size is not decoded again.
QImage caricaScalata(const QString &percorso, QSize dimensione);

// A picture's format by its first bytes, whatever its name: "jpeg", "png", "gif", "bmp", "svg",
// "webp", "tiff", "heif"... (Qt's names), or empty when they are no picture format known here.
QByteArray formato(QByteArrayView inizio);

// The format of a file by its content (formato()), empty when it is no regular file or unreadable.
QByteArray formatoFile(const QString &percorso);

// The formats the game shows: JPEG through its own decoder, PNG, GIF and BMP through Qt's reader
// for that format. Each reads nothing but the file itself; any other format (a drawing that names
// other files, say) is refused by leggi().
bool formatoMostrato(const QByteArray &formato);

// How much of a file formato() looks at.
inline constexpr int inizioLetto = 512;

// The bounds. A picture file larger than this is refused unread; real photos are a few megabytes.
inline constexpr qint64 massimoByte = 100 * 1024 * 1024;
// The JPEG decoder's own memory. A baseline JPEG of any size needs a few megabytes; a progressive
// one needs two bytes per sample for the whole picture, so this admits progressive photos up to
// about 50 megapixels and refuses the small files whose header claims far more.
inline constexpr long massimaMemoria = 160L * 1024 * 1024;
// A JPEG's pixels, as its header claims them. Even at the smallest DCT scale every block of the
// picture is decoded, about a millisecond per 3 megapixels: this admits a 200-megapixel phone photo
// and refuses headers that would keep the window waiting for seconds.
inline constexpr qint64 massimoPixelJpeg = 300'000'000;
// Scans of a JPEG: a progressive photo has about ten; a file of thousands is built to stall a decoder.
inline constexpr int massimoScansioni = 100;
// The decoder's work: every scan goes through all the blocks (8 x 8 samples) of its components, so
// blocks times scans. A 50-megapixel progressive photo in ten scans costs about 7 million; a picture
// near the memory bound in a hundred scans would cost over a hundred million, many seconds. This
// keeps every picture within about a second here.
inline constexpr qint64 massimiBlocchi = 12'000'000;
// Pictures in other formats (a PNG named .jpg) are decoded whole by Qt, four bytes a pixel (eight for
// a 16-bit PNG): those whose decoded pixels would take more than this are refused.
inline constexpr qint64 massimaMemoriaAltro = 128L * 1024 * 1024;
// A photo the editor decodes whole to crop it: those whose header claims more pixels are refused.
inline constexpr qint64 massimoPixel = 40'000'000;

} // namespace immagini

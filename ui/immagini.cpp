// SPDX-License-Identifier: GPL-3.0-or-later
// The game's picture reader: a word's file name, then the file decoded by its content (a JPEG by
// libjpeg-turbo within bounds, another format by Qt's reader for it alone), and the checker's verdict
// on a file. Over 500 lines as one reader: every path into a picture goes through the bounds here.
#include "ui/immagini.h"

#include "base/motivi.h"
#include "base/nomi.h"
#include "ui/errori.h"
#include "ui/percorsi.h"
#include "ui/riduzione.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTransform>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <malloc.h>
#include <sys/stat.h>

#include <jerror.h>
#include <jpeglib.h>

namespace immagini
{

QString percorsoParola(const QString &cartellaDati, QStringView parola)
{
    if (const auto percorso = percorsi::fileParola(cartellaDati, u"jpg", parola, u".jpg"))
        return *percorso;
    // A "word" of megabytes is refused before any path is built around it; the message shows the
    // beginning of such a name.
    const QString nome = regole::senzaSpaziIniziali(parola);
    const QString mostrato = motivi::accorciato(nome, 40, 0);
    throw Errore(QStringLiteral("Immagine illeggibile: %1 (nome non valido)")
                     .arg(QDir::toNativeSeparators(
                         cartellaDati + QStringLiteral("/jpg/") + mostrato + QStringLiteral(".jpg"))));
}

namespace
{

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to the
// setjmp of the phase that is running. Each phase below is a plain function with no C++ object that
// needs destroying, so the jump skips nothing.
constexpr int erroreScansioni = -2;
constexpr int erroreLavoro = -3;

struct GestoreErrori {
    jpeg_error_mgr base;
    std::jmp_buf salto;
    int avvisi;
    int codice;
    int parametro;
    int scansione; // the last scan counted
    qint64 blocchi; // blocks decoded so far, over every scan
    char testo[JMSG_LENGTH_MAX];
};

GestoreErrori *gestore(j_common_ptr c)
{
    return reinterpret_cast<GestoreErrori *>(c->err);
}

void esciConErrore(j_common_ptr c)
{
    GestoreErrori *e = gestore(c);
    e->codice = c->err->msg_code;
    e->parametro = c->err->msg_parm.i[0];
    (*c->err->format_message)(c, e->testo);
    std::longjmp(e->salto, 1);
}

// Warnings (corrupt or missing data, which the decoder fills in) are counted; trace messages dropped.
void emettiMessaggio(j_common_ptr c, int livello)
{
    if (livello < 0)
        ++gestore(c)->avvisi;
}

// Called by the decoder as it goes, at least once per scan it takes in: every scan goes through all
// the blocks of its components, so the work of a picture is its blocks times its scans, and both are
// counted before a scan's data is decoded.
void controllaScansioni(j_common_ptr c)
{
    const auto *d = reinterpret_cast<j_decompress_ptr>(c);
    GestoreErrori *e = gestore(c);
    if (d->input_scan_number > massimoScansioni) {
        e->codice = erroreScansioni;
        e->parametro = d->input_scan_number;
        std::longjmp(e->salto, 1);
    }
    if (d->input_scan_number != e->scansione && d->comps_in_scan > 0) {
        e->scansione = d->input_scan_number;
        const jpeg_component_info *primo = d->cur_comp_info[0];
        e->blocchi += d->comps_in_scan == 1
            ? qint64(primo->width_in_blocks) * primo->height_in_blocks
            : qint64(d->MCUs_per_row) * d->MCU_rows_in_scan * d->blocks_in_MCU;
        if (e->blocchi > massimiBlocchi) {
            e->codice = erroreLavoro;
            e->parametro = d->input_scan_number;
            std::longjmp(e->salto, 1);
        }
    }
}

// The EXIF orientation (1..8) in an APP1 marker's data, or 1 when there is none or it is malformed.
int orientamentoExif(const JOCTET *dati, unsigned int n)
{
    if (n < 14 || std::memcmp(dati, "Exif\0\0", 6) != 0)
        return 1;
    const JOCTET *tiff = dati + 6;
    const unsigned int m = n - 6;
    const bool intel = tiff[0] == 'I' && tiff[1] == 'I';
    if (!intel && !(tiff[0] == 'M' && tiff[1] == 'M'))
        return 1;
    auto u16 = [&](unsigned int o) -> unsigned int {
        return intel ? tiff[o] | tiff[o + 1] << 8 : tiff[o] << 8 | tiff[o + 1];
    };
    auto u32 = [&](unsigned int o) -> quint32 {
        return intel ? quint32(u16(o)) | quint32(u16(o + 2)) << 16 : quint32(u16(o)) << 16 | u16(o + 2);
    };
    const quint32 ifd = u32(4);
    if (ifd > m - 2)
        return 1;
    const unsigned int voci = u16(ifd);
    for (unsigned int i = 0; i < voci; ++i) {
        const quint32 o = ifd + 2 + 12 * i;
        if (o > m - 12)
            return 1;
        if (u16(o) == 0x0112 && u16(o + 2) == 3) {
            const unsigned int v = u16(o + 8);
            return v >= 1 && v <= 8 ? int(v) : 1;
        }
    }
    return 1;
}

struct Decodifica {
    jpeg_decompress_struct info;
    GestoreErrori errori;
    jpeg_progress_mgr progresso;
    int orientamento = 1;
    bool cmyk = false;
    bool soloVerdetto = false; // no picture wanted, the decoder's verdict only
};

// Phase 1: the header, the EXIF orientation and the DCT scale. Returns false after an error.
bool intestazione(Decodifica *d, std::FILE *file, QSize bersaglio)
{
    if (setjmp(d->errori.salto))
        return false;
    jpeg_stdio_src(&d->info, file);
    jpeg_save_markers(&d->info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&d->info, TRUE);
    for (jpeg_saved_marker_ptr m = d->info.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && d->orientamento == 1)
            d->orientamento = orientamentoExif(m->data, m->data_length);
    }
    // Rotated a quarter turn, the stored width is the shown height.
    if (d->orientamento >= 5)
        bersaglio.transpose();

    d->cmyk = d->info.jpeg_color_space == JCS_CMYK || d->info.jpeg_color_space == JCS_YCCK;
    d->info.out_color_space = d->cmyk ? JCS_CMYK : JCS_EXT_BGRA; // BGRA: the fourth byte is 255
    d->info.dct_method = JDCT_ISLOW;
    // The smallest scale, in eighths, whose output still covers the box: the IDCT then produces
    // few pixels per block, which is where a large photo's cost goes.
    d->info.scale_denom = 8;
    // For the verdict alone no pixel is kept: every block's data is still decoded (which is where
    // damage shows), but only its average is worked out.
    for (unsigned int n = 1; n <= (d->soloVerdetto ? 1U : 8U); ++n) {
        d->info.scale_num = n;
        jpeg_calc_output_dimensions(&d->info);
        if (int(d->info.output_width) >= bersaglio.width()
            && int(d->info.output_height) >= bersaglio.height())
            break;
    }
    return true;
}

// Phase 2: every row, through the reduction when there is one. Returns false after an error.
bool righe(Decodifica *d, Riduzione *riduzione, JSAMPLE *convertita)
{
    if (setjmp(d->errori.salto))
        return false;
    jpeg_start_decompress(&d->info);
    const JDIMENSION larghezza = d->info.output_width;
    JSAMPARRAY riga = (*d->info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d->info), JPOOL_IMAGE,
        larghezza * JDIMENSION(d->info.output_components), 1);
    while (d->info.output_scanline < d->info.output_height) {
        if (jpeg_read_scanlines(&d->info, riga, 1) != 1)
            break;
        if (!riduzione)
            continue;
        const JSAMPLE *bgrx = riga[0];
        if (d->cmyk) {
            // Adobe's CMYK JPEGs store the inks inverted, which is how libjpeg hands them out.
            const bool adobe = d->info.saw_Adobe_marker;
            for (JDIMENSION x = 0; x < larghezza; ++x) {
                const JSAMPLE *p = riga[0] + 4 * x;
                const int k = adobe ? p[3] : 255 - p[3];
                auto canale = [&](int v) { return JSAMPLE((adobe ? v : 255 - v) * k / 255); };
                convertita[4 * x] = canale(p[2]);
                convertita[4 * x + 1] = canale(p[1]);
                convertita[4 * x + 2] = canale(p[0]);
                convertita[4 * x + 3] = 255;
            }
            bgrx = convertita;
        }
        riduzione->riga(bgrx);
    }
    jpeg_finish_decompress(&d->info);
    return true;
}

// Phase 2 for a decoded picture small enough to hold whole: its rows straight into the image, whose
// memory order (B, G, R, 255) is the decoder's output. Returns false after an error.
bool righeIntere(Decodifica *d, QImage *immagine)
{
    if (setjmp(d->errori.salto))
        return false;
    jpeg_start_decompress(&d->info);
    while (d->info.output_scanline < d->info.output_height) {
        JSAMPROW riga = immagine->scanLine(int(d->info.output_scanline));
        if (jpeg_read_scanlines(&d->info, &riga, 1) != 1)
            break;
    }
    jpeg_finish_decompress(&d->info);
    return true;
}

QString motivo(const Decodifica &d)
{
    const GestoreErrori &e = d.errori;
    const QSize dichiarata(int(d.info.image_width), int(d.info.image_height));
    switch (e.codice) {
    case erroreScansioni:
        return QStringLiteral("JPEG progressivo con più di %1 passate: il file è costruito male")
            .arg(massimoScansioni);
    case erroreLavoro:
        return QStringLiteral(
            "JPEG progressivo di %1 x %2 pixel in troppe passate (già %3): mostrarla bloccherebbe il gioco; "
            "salvala più piccola o come JPEG normale, non progressivo")
            .arg(dichiarata.width())
            .arg(dichiarata.height())
            .arg(e.parametro);
    case JERR_NO_BACKING_STORE:
    case JERR_OUT_OF_MEMORY:
        return QStringLiteral(
            "decodificarla richiederebbe troppa memoria (JPEG progressivo o a più passate di %1 x %2 "
            "pixel): salvala più piccola o come JPEG normale, non progressivo")
            .arg(dichiarata.width())
            .arg(dichiarata.height());
    case JERR_BAD_PRECISION:
        return QStringLiteral("JPEG a %1 bit per colore: il gioco legge solo JPEG a 8 bit").arg(e.parametro);
    case JERR_SOF_UNSUPPORTED:
        if (e.parametro == 0xC3 || e.parametro == 0xC7 || e.parametro == 0xCB || e.parametro == 0xCF)
            return QStringLiteral("JPEG senza perdita (lossless): il gioco legge solo JPEG normali");
        return QStringLiteral("tipo di JPEG che il gioco non legge (SOF 0x%1)")
            .arg(e.parametro, 2, 16, QChar(u'0'));
    case JERR_EMPTY_IMAGE:
        return QStringLiteral("l'immagine ha larghezza o altezza zero");
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return QStringLiteral("dimensioni oltre ogni limite");
    case JERR_CONVERSION_NOTIMPL:
    case JERR_BAD_J_COLORSPACE:
    case JERR_BAD_IN_COLORSPACE:
        return QStringLiteral("spazio dei colori che il gioco non legge");
    case JERR_INPUT_EMPTY:
        return QStringLiteral("il file è vuoto");
    case JERR_SOF_NO_SOS:
    case JERR_INPUT_EOF:
        return QStringLiteral("file JPEG incompleto: finisce prima dell'immagine");
    default:
        return QStringLiteral("file JPEG rovinato; il decodificatore dice: %1")
            .arg(QString::fromLatin1(e.testo));
    }
}

// The picture as it is held upright by its EXIF orientation: 2 mirrored, 3 half turn, 4 flipped, 5
// flipped and a quarter turn clockwise, 6 a quarter turn clockwise, 7 mirrored and a quarter turn,
// 8 a quarter anticlockwise; 1 and any other value leave it as it is.
QImage raddrizzata(const QImage &immagine, int orientamento)
{
    switch (orientamento) {
    case 2:
        return immagine.mirrored(true, false);
    case 3:
        return immagine.mirrored(true, true);
    case 4:
        return immagine.mirrored(false, true);
    case 5:
        return immagine.mirrored(true, false).transformed(QTransform().rotate(270));
    case 6:
        return immagine.transformed(QTransform().rotate(90));
    case 7:
        return immagine.mirrored(true, false).transformed(QTransform().rotate(90));
    case 8:
        return immagine.transformed(QTransform().rotate(270));
    default:
        return immagine;
    }
}

Lettura leggiJpeg(const QString &nome, std::FILE *file, QSize dimensione, bool soloVerdetto)
{
    Decodifica d;
    d.soloVerdetto = soloVerdetto;
    d.info.err = jpeg_std_error(&d.errori.base);
    d.errori.base.error_exit = esciConErrore;
    d.errori.base.emit_message = emettiMessaggio;
    d.errori.avvisi = 0;
    d.errori.codice = 0;
    d.errori.parametro = 0;
    d.errori.scansione = 0;
    d.errori.blocchi = 0;
    d.errori.testo[0] = '\0';
    jpeg_create_decompress(&d.info);
    auto distruggi = qScopeGuard([&d] { jpeg_destroy_decompress(&d.info); });
    d.info.mem->max_memory_to_use = massimaMemoria;
    d.progresso.progress_monitor = controllaScansioni;
    d.info.progress = &d.progresso;

    auto fallisci = [&]() -> Errore {
        return Errore(QStringLiteral("Immagine illeggibile: %1 (%2)").arg(nome, motivo(d)));
    };
    if (!intestazione(&d, file, dimensione))
        throw fallisci();
    if (qint64(d.info.image_width) * d.info.image_height > massimoPixelJpeg)
        throw Errore(
            QStringLiteral("Immagine troppo grande: %1 (%2 x %3 pixel; il gioco legge immagini fino a %4 "
                           "milioni di pixel)")
                .arg(nome)
                .arg(d.info.image_width)
                .arg(d.info.image_height)
                .arg(massimoPixelJpeg / 1'000'000));

    // The decoded picture is reduced straight to the box; a side where it is smaller than the box
    // (a small picture) is kept, and only enlarged at the end.
    const int larghezza = int(d.info.output_width);
    const int altezza = int(d.info.output_height);
    QSize verso = dimensione;
    if (d.orientamento >= 5)
        verso.transpose();
    verso = QSize(qMin(larghezza, qMax(1, verso.width())), qMin(altezza, qMax(1, verso.height())));
    // A decoded picture of up to a few times the box's pixels (the common case: a picture of about
    // the box's size, decoded at the scale just above it) is held whole, then reduced: reduced row
    // by row as the decoder hands them out, the shipped pictures took half as long again (reading
    // each row back just after the decoder wrote it is what was slow). Larger ones (a photo's, even
    // at 1/8) are reduced row by row, so that only a few rows are held.
    const bool intera = !soloVerdetto && !d.cmyk
        && qint64(larghezza) * altezza <= 4 * qint64(verso.width()) * verso.height();
    std::optional<Riduzione> riduzione;
    // The pixels of the last picture held whole are kept for the next one on the same thread: the
    // game's pictures all have one size, and memory already mapped saves a few hundred page faults.
    static thread_local QImage tenuta;
    QImage decodificata;
    if (intera) {
        decodificata = tenuta.size() == QSize(larghezza, altezza)
            ? std::exchange(tenuta, QImage())
            : QImage(larghezza, altezza, QImage::Format_RGB32);
        if (!righeIntere(&d, &decodificata))
            throw fallisci();
        grigieDa(decodificata, int(d.info.output_scanline));
    } else {
        if (!soloVerdetto)
            riduzione.emplace(QSize(larghezza, altezza), verso);
        std::vector<JSAMPLE> convertita(d.cmyk && !soloVerdetto ? std::size_t(larghezza) * 4 : 0);
        if (!righe(&d, riduzione ? &*riduzione : nullptr, convertita.data()))
            throw fallisci();
    }

    Lettura l;
    l.avvisi = d.errori.avvisi;
    l.orientamento = d.orientamento;
    l.originale = QSize(int(d.info.image_width), int(d.info.image_height));
    if (d.orientamento >= 5)
        l.originale.transpose();
    if (soloVerdetto)
        return l;
    QImage immagine;
    if (!intera) {
        immagine = riduzione->fine();
    } else if (decodificata.size() == verso) {
        immagine = std::move(decodificata);
    } else {
        immagine = ridotta(decodificata, verso);
        tenuta = std::move(decodificata);
    }
    immagine = raddrizzata(immagine, d.orientamento);
    if (immagine.size() != dimensione)
        immagine = immagine.scaled(dimensione, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    l.immagine = std::move(immagine);
    return l;
}

// The bytes a decoded pixel of a picture in another format takes: Qt decodes a 16-bit PNG to 64-bit
// pixels, anything else to 32-bit ones.
int bytePerPixel(const QByteArray &formato, QByteArrayView inizio)
{
    return formato == "png" && inizio.size() > 24 && uchar(inizio[24]) == 16 ? 8 : 4;
}

// A file named .jpg that holds a PNG, a GIF or a BMP is shown as before, decoded by Qt's reader for
// that format and no other: the format is the one its content shows, never one Qt would guess.
Lettura leggiAltro(
    std::FILE *file, const QString &nome, const QByteArray &formato, QByteArrayView inizio, QSize dimensione)
{
    const QString quale = QString::fromLatin1(formato).toUpper();
    auto rovinata = [&] {
        return Errore(QStringLiteral("Immagine illeggibile: %1 (immagine %2 rovinata)").arg(nome, quale));
    };
    std::rewind(file);
    QFile dispositivo;
    if (!dispositivo.open(file, QIODevice::ReadOnly))
        throw Errore(QStringLiteral("Immagine illeggibile: %1 (%2)").arg(nome, motivi::diFile(dispositivo)));
    QImageReader lettore(&dispositivo, formato);
    lettore.setAutoDetectImageFormat(false);
    const QSize originale = lettore.canRead() ? lettore.size() : QSize();
    if (!originale.isValid() || originale.isEmpty())
        throw rovinata();
    const qint64 perPixel = bytePerPixel(formato, inizio);
    if (qint64(originale.width()) * originale.height() * perPixel > massimaMemoriaAltro)
        throw Errore(QStringLiteral("Immagine troppo grande: %1 (%2 x %3 pixel; un'immagine %4 può averne al "
                                    "massimo %5 milioni: salvala più piccola, come JPEG)")
                         .arg(nome)
                         .arg(originale.width())
                         .arg(originale.height())
                         .arg(quale)
                         .arg(massimaMemoriaAltro / perPixel / 1'000'000));
    // The bound above is this program's: Qt's own, lower for some formats, would refuse with a
    // warning of its own instead.
    lettore.setAllocationLimit(int(massimaMemoriaAltro >> 20) + 1);
    const bool riduci = originale.width() >= dimensione.width() && originale.height() >= dimensione.height();
    if (riduci)
        lettore.setScaledSize(dimensione);
    QImage immagine = lettore.read();
    if (immagine.isNull())
        throw rovinata();
    if (immagine.size() != dimensione)
        immagine = immagine.scaled(dimensione, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    Lettura l;
    l.immagine = std::move(immagine);
    l.originale = originale;
    return l;
}

} // namespace

QByteArray formato(QByteArrayView b)
{
    auto a = [&b](const char *m, qsizetype da = 0) {
        const qsizetype n = qsizetype(std::strlen(m));
        return b.size() >= da + n && std::memcmp(b.data() + da, m, std::size_t(n)) == 0;
    };
    if (b.size() >= 2 && uchar(b[0]) == 0xFF && uchar(b[1]) == 0xD8)
        return "jpeg";
    if (a("\x89PNG\r\n\x1A\n"))
        return "png";
    if (a("GIF87a") || a("GIF89a"))
        return "gif";
    if (a("BM") && b.size() >= 26)
        return "bmp";
    if (a("RIFF") && a("WEBP", 8))
        return "webp";
    if (b.size() >= 4 && (std::memcmp(b.data(), "II*\0", 4) == 0 || std::memcmp(b.data(), "MM\0*", 4) == 0))
        return "tiff";
    if (a("ftyp", 4))
        return a("avif", 8) || a("avis", 8) ? "avif" : "heif";
    if (b.size() >= 4 && std::memcmp(b.data(), "\0\0\1\0", 4) == 0)
        return "ico";
    if (a("\x1F\x8B"))
        return "gzip";
    if (a("%PDF"))
        return "pdf";
    if (a("qoif"))
        return "qoi";
    // Text formats: after a byte-order mark and blanks.
    QByteArrayView t = b;
    if (t.startsWith("\xEF\xBB\xBF"))
        t = t.sliced(3);
    while (!t.isEmpty() && (t[0] == ' ' || t[0] == '\t' || t[0] == '\r' || t[0] == '\n'))
        t = t.sliced(1);
    if (t.startsWith("<")) {
        const QByteArray testa = t.first(qMin<qsizetype>(t.size(), 4096)).toByteArray().toLower();
        return testa.contains("<svg") ? "svg" : "xml";
    }
    if (t.startsWith("/* XPM */"))
        return "xpm";
    if (t.startsWith("#define"))
        return "xbm";
    if (t.size() >= 2 && t[0] == 'P' && t[1] >= '1' && t[1] <= '6')
        return t[1] == '1' || t[1] == '4' ? "pbm" : (t[1] == '2' || t[1] == '5' ? "pgm" : "ppm");
    return {};
}

bool formatoMostrato(const QByteArray &formato)
{
    return formato == "jpeg" || formato == "png" || formato == "gif" || formato == "bmp";
}

QByteArray formatoFile(const QString &percorso)
{
    QFile f(percorso);
    if (!QFileInfo(percorso).isFile() || !f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return formato(f.read(inizioLetto));
}

namespace
{

Lettura leggiFile(const QString &percorso, QSize dimensione, bool soloVerdetto)
{
    const QString nome = QDir::toNativeSeparators(percorso);
    const QFileInfo info(percorso);
    if (!info.exists())
        throw Errore(QStringLiteral("Immagine non trovata: %1").arg(nome));
    if (info.isDir())
        throw Errore(QStringLiteral("Immagine non valida: %1 (è una cartella, non un file)").arg(nome));
    if (!info.isFile())
        throw Errore(QStringLiteral("Immagine non valida: %1 (non è un file normale)").arg(nome));
    if (info.size() == 0)
        throw Errore(QStringLiteral("Immagine illeggibile: %1 (il file è vuoto)").arg(nome));
    if (info.size() > massimoByte)
        throw Errore(
            QStringLiteral("Immagine troppo grande: %1 (%2 MB; il gioco legge immagini fino a %3 MB)")
                .arg(nome)
                .arg(info.size() >> 20)
                .arg(massimoByte >> 20));
    dimensione = dimensione.expandedTo(QSize(1, 1));

    std::FILE *file = std::fopen(QFile::encodeName(percorso).constData(), "rb");
    if (!file)
        throw Errore(QStringLiteral("Immagine illeggibile: %1 (%2)").arg(nome, motivi::diSistema(errno)));
    auto chiudi = qScopeGuard([file] { std::fclose(file); });
    char inizio[inizioLetto];
    const auto letti = qsizetype(std::fread(inizio, 1, sizeof inizio, file));
    const QByteArrayView vista(inizio, letti);
    const QByteArray f = formato(vista);
    if (f == "jpeg") {
        std::rewind(file);
        return leggiJpeg(nome, file, dimensione, soloVerdetto);
    }
    if (formatoMostrato(f))
        return leggiAltro(file, nome, f, vista, dimensione);
    // Anything else is refused by its content, whatever its name: above all a drawing (SVG) or a
    // document, which may name other files or carry other pictures inside.
    if (f.isEmpty())
        throw Errore(QStringLiteral("Immagine illeggibile: %1 (non è un'immagine JPEG)").arg(nome));
    throw Errore(QStringLiteral("Immagine illeggibile: %1 (non è un'immagine JPEG: è in formato %2, che il "
                                "gioco non mostra)")
                     .arg(nome, QString::fromLatin1(f)));
}

} // namespace

Lettura leggi(const QString &percorso, QSize dimensione)
{
    return leggiFile(percorso, dimensione, false);
}

Lettura esamina(const QString &percorso, QSize dimensione)
{
    // The verdicts already given, by path and box, with the file as it was: its device and inode
    // (replaced by another file), its size and its modification and change times (rewritten in
    // place). An editor's save checks the whole folder again, and most of its pictures are the
    // same files as at the last check.
    struct Verdetto {
        struct stat file = {};
        std::optional<Lettura> lettura;
        QString errore;
    };
    struct Chiave {
        QString percorso;
        QSize dimensione;
        bool operator==(const Chiave &) const = default;
    };
    struct Hash {
        std::size_t operator()(const Chiave &c) const noexcept
        {
            return qHash(
                c.percorso, std::size_t(c.dimensione.width()) * 65537U + std::size_t(c.dimensione.height()));
        }
    };
    // A few thousand pictures are a few hundred kilobytes; a folder of more than that starts over.
    constexpr std::size_t massimoVerdetti = 20'000;
    static std::mutex chiave;
    static std::unordered_map<Chiave, Verdetto, Hash> verdetti;

    struct stat ora = {};
    const bool visto = ::stat(QFile::encodeName(percorso).constData(), &ora) == 0;
    const Chiave k {percorso, dimensione};
    if (visto) {
        const std::lock_guard blocco(chiave);
        const auto i = verdetti.find(k);
        if (i != verdetti.end() && percorsi::stessoFile(i->second.file, ora)) {
            if (!i->second.lettura)
                throw Errore(i->second.errore);
            return *i->second.lettura;
        }
    }
    Verdetto v {ora, {}, {}};
    try {
        v.lettura = leggiFile(percorso, dimensione, true);
    } catch (const Errore &e) {
        v.errore = e.messaggio();
    }
    if (visto) {
        const std::lock_guard blocco(chiave);
        if (verdetti.size() >= massimoVerdetti)
            verdetti.clear();
        verdetti.insert_or_assign(k, v);
    }
    if (!v.lettura)
        throw Errore(v.errore);
    return *v.lettura;
}

QImage caricaScalata(const QString &percorso, QSize dimensione)
{
    // The last picture shown, and the file it came from as it was then. A turn that shows the same
    // file again at the same size (the two turns of the game's start, which both show the first
    // word) takes it from here instead of decoding it again.
    struct Ultima {
        QString percorso;
        QSize dimensione;
        struct stat file = {};
        QImage immagine;
    };
    static Ultima ultima;
    struct stat ora = {};
    const bool visto = ::stat(QFile::encodeName(percorso).constData(), &ora) == 0;
    if (visto && !ultima.immagine.isNull() && ultima.percorso == percorso && ultima.dimensione == dimensione
        && percorsi::stessoFile(ultima.file, ora))
        return ultima.immagine;
    ultima = Ultima();
    const Lettura lettura = leggi(percorso, dimensione);
    QImage immagine = lettura.immagine;
    // A photo's decode frees megabytes of buffers between the heap's pages in use; they go back to
    // the system now rather than stay with the program for the rest of the game. A picture of about
    // the box's size leaves nothing worth the walk through the heap.
    if (qint64(lettura.originale.width()) * lettura.originale.height() > 2'000'000)
        malloc_trim(0);
    if (visto)
        ultima = Ultima {percorso, dimensione, ora, immagine};
    return immagine;
}

} // namespace immagini

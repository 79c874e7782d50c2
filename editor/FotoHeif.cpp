// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FotoHeif.h"

#include "ui/errori.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <libheif/heif.h>

#include <cstring>

namespace fotoheif
{

namespace
{

// What to do with a photo this editor cannot open: the phone or the computer converts it.
const QString consiglio
    = QStringLiteral("salvala come JPEG (il telefono o il programma delle foto lo fanno) e scegli quella");

Errore illeggibile(const QString &nome, const heif_error &errore)
{
    return Errore(QStringLiteral("La foto %1 non si legge (%2): %3.")
                      .arg(nome, QString::fromUtf8(errore.message ? errore.message : ""), consiglio));
}

} // namespace

QImage leggi(const QString &percorso)
{
    const QString nome = QDir::toNativeSeparators(percorso);
    // Once: from libheif 1.16 on this loads the decoders, which are plugins.
    [[maybe_unused]] static const bool pronta = heif_init(nullptr).code == heif_error_Ok;
    heif_context *contesto = heif_context_alloc();
    auto liberaContesto = qScopeGuard([contesto] { heif_context_free(contesto); });
    heif_error errore
        = heif_context_read_from_file(contesto, QFile::encodeName(percorso).constData(), nullptr);
    if (errore.code != heif_error_Ok)
        throw illeggibile(nome, errore);

    heif_image_handle *principale = nullptr;
    errore = heif_context_get_primary_image_handle(contesto, &principale);
    if (errore.code != heif_error_Ok)
        throw illeggibile(nome, errore);
    auto liberaPrincipale = qScopeGuard([principale] { heif_image_handle_release(principale); });
    const int larghezza = heif_image_handle_get_width(principale);
    const int altezza = heif_image_handle_get_height(principale);
    if (qint64(larghezza) * altezza > massimoPixel)
        throw Errore(QStringLiteral("La foto %1 è troppo grande (%2 x %3 pixel): %4, più piccola.")
                         .arg(nome)
                         .arg(larghezza)
                         .arg(altezza)
                         .arg(consiglio));

    heif_image *immagine = nullptr;
    errore = heif_decode_image(
        principale, &immagine, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr);
    if (errore.code != heif_error_Ok)
        throw illeggibile(nome, errore);
    auto liberaImmagine = qScopeGuard([immagine] { heif_image_release(immagine); });
    int passo = 0;
    const uint8_t *pixel = heif_image_get_plane_readonly(immagine, heif_channel_interleaved, &passo);
    const int l = heif_image_get_width(immagine, heif_channel_interleaved);
    const int a = heif_image_get_height(immagine, heif_channel_interleaved);
    if (!pixel || l <= 0 || a <= 0)
        throw illeggibile(
            nome, heif_error {heif_error_Decoder_plugin_error, heif_suberror_Unspecified, "vuota"});

    QImage foto(l, a, QImage::Format_RGBA8888);
    if (foto.isNull())
        throw Errore(
            QStringLiteral("La foto %1 è troppo grande per la memoria libera: %2.").arg(nome, consiglio));
    for (int y = 0; y < a; ++y)
        std::memcpy(foto.scanLine(y), pixel + qsizetype(y) * passo, std::size_t(l) * 4);
    return foto;
}

} // namespace fotoheif

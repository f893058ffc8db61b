#include "grab/ImageFiles.h"

#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>

#include <jpeglib.h>
#include <unistd.h>

namespace {

void PutLe16(uchar* aAt, quint16 aValue)
{
    aAt[0] = uchar(aValue);
    aAt[1] = uchar(aValue >> 8);
}

void PutLe32(uchar* aAt, quint32 aValue)
{
    for (int i = 0; i < 4; ++i)
        aAt[i] = uchar(aValue >> (8 * i));
}

constexpr int kBmpFileHeader = 14;
constexpr int kBmpInfoHeader = 40;

// libjpeg's error manager, extended with the jump back to the encoder and the last message. A
// libjpeg error must not reach its default handler, which exits the program.
struct TJpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr aInfo)
{
    auto* errors = reinterpret_cast<TJpegErrors*>(aInfo->err);
    (*aInfo->err->format_message)(aInfo, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings are not printed on the standard error.
void JpegOutputMessage(j_common_ptr) {}

// A destination growing a QByteArray that outlives the encoder's jumps.
struct TJpegSink {
    jpeg_destination_mgr pub;
    QByteArray* bytes;
};

constexpr qsizetype kJpegChunk = 64 * 1024;

void SinkInit(j_compress_ptr aInfo)
{
    auto* sink = reinterpret_cast<TJpegSink*>(aInfo->dest);
    sink->bytes->resize(kJpegChunk);
    sink->pub.next_output_byte = reinterpret_cast<JOCTET*>(sink->bytes->data());
    sink->pub.free_in_buffer = size_t(sink->bytes->size());
}

boolean SinkGrow(j_compress_ptr aInfo)
{
    // Called with the whole buffer full, whatever free_in_buffer says.
    auto* sink = reinterpret_cast<TJpegSink*>(aInfo->dest);
    const qsizetype used = sink->bytes->size();
    sink->bytes->resize(used * 2);
    sink->pub.next_output_byte = reinterpret_cast<JOCTET*>(sink->bytes->data()) + used;
    sink->pub.free_in_buffer = size_t(used);
    return TRUE;
}

void SinkTerm(j_compress_ptr aInfo)
{
    auto* sink = reinterpret_cast<TJpegSink*>(aInfo->dest);
    sink->bytes->resize(sink->bytes->size() - qsizetype(sink->pub.free_in_buffer));
}

// Only plain data lives in this frame, as the jump back from an error skips destructors.
bool CompressRgb(const uchar* aPixels, int aWidth, int aHeight, qsizetype aStride, int aQuality,
                 TJpegSink& aSink, TJpegErrors& aErrors)
{
    jpeg_compress_struct info{};
    info.err = jpeg_std_error(&aErrors.pub);
    aErrors.pub.error_exit = JpegErrorExit;
    aErrors.pub.output_message = JpegOutputMessage;
    aErrors.message[0] = '\0';
    if (setjmp(aErrors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    aSink.pub.init_destination = SinkInit;
    aSink.pub.empty_output_buffer = SinkGrow;
    aSink.pub.term_destination = SinkTerm;
    info.dest = &aSink.pub;
    info.image_width = JDIMENSION(aWidth);
    info.image_height = JDIMENSION(aHeight);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, aQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(aPixels + qsizetype(info.next_scanline) * aStride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

int JpegQuality(int aStoredValue)
{
    // Clamped, not cut to its low byte: 256 must not become the worst quality.
    return std::clamp(aStoredValue, 1, 100);
}

QByteArray EncodeBmp(const QImage& aImage)
{
    const QImage bgr = aImage.isNull() ? QImage() : aImage.convertToFormat(QImage::Format_BGR888);
    const qint64 width = bgr.isNull() ? 0 : bgr.width();
    const qint64 height = bgr.isNull() ? 0 : bgr.height();
    const qint64 stride = (width * 3 + 3) / 4 * 4;
    const qint64 pixelBytes = stride * height;
    const qint64 headers = kBmpFileHeader + kBmpInfoHeader;
    if (headers + pixelBytes > std::numeric_limits<qint32>::max())
        return {};

    QByteArray bytes(qsizetype(headers + pixelBytes), '\0');
    auto* at = reinterpret_cast<uchar*>(bytes.data());
    at[0] = 'B';
    at[1] = 'M';
    PutLe32(at + 2, quint32(headers + pixelBytes));
    PutLe32(at + 10, quint32(headers));
    uchar* info = at + kBmpFileHeader;
    PutLe32(info, kBmpInfoHeader);
    PutLe32(info + 4, quint32(width));
    PutLe32(info + 8, quint32(height)); // positive: bottom-up
    PutLe16(info + 12, 1);              // planes
    PutLe16(info + 14, 24);             // bits per pixel
    PutLe32(info + 16, 0);              // no compression
    PutLe32(info + 20, quint32(pixelBytes));
    PutLe32(info + 24, 2835); // 72 dpi
    PutLe32(info + 28, 2835);

    uchar* pixels = at + headers;
    for (qint64 y = 0; y < height; ++y) {
        const uchar* row = bgr.constScanLine(int(height - 1 - y));
        std::copy_n(row, width * 3, pixels + y * stride); // padding stays zero
    }
    return bytes;
}

bool EncodeJpeg(const QImage& aImage, int aQuality, QByteArray& aBytes, QString& aError)
{
    const QImage rgb = aImage.isNull() ? QImage() : aImage.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    TJpegSink sink{};
    sink.bytes = &bytes;
    TJpegErrors errors{};
    const int quality = std::clamp(aQuality, 1, 100);
    if (!CompressRgb(rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), quality, sink,
                     errors)) {
        aError = QString::fromLocal8Bit(errors.message);
        return false;
    }
    aBytes = bytes;
    return true;
}

bool WriteFileWhole(const QString& aPath, const QByteArray& aBytes, QString& aError)
{
    // QSaveFile reports a write as done while it sits in its buffer and commits even when the
    // real write then failed (a full disk): check every step, down to the disk.
    QSaveFile file(aPath);
    if (!file.open(QIODevice::WriteOnly)) {
        aError = file.errorString();
        return false;
    }
    if (file.write(aBytes) != aBytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        aError = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        aError = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        aError = file.errorString();
        return false;
    }
    return true;
}

bool SaveImageFile(const QImage& aImage, const QString& aPath, TImageFileFormat aFormat,
                   int aQuality, QString& aError)
{
    QByteArray bytes;
    QString reason;
    bool ok = false;
    if (aFormat == TImageFileFormat::Jpeg) {
        ok = EncodeJpeg(aImage, JpegQuality(aQuality), bytes, reason);
    } else {
        bytes = EncodeBmp(aImage);
        ok = !bytes.isEmpty();
        if (!ok)
            reason = QStringLiteral("image trop grande pour le format BMP");
    }
    if (ok)
        ok = WriteFileWhole(aPath, bytes, reason);
    if (!ok)
        aError = QStringLiteral("Impossible d'enregistrer l'image %1 : %2").arg(aPath, reason);
    return ok;
}

#include "movie/MovieEncoder.h"

#include "document/FileIO.h"
#include "movie/PaletteQuantizer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace movie {

namespace {

constexpr int kIoBufferBytes = 1 << 16;

// What the encoders of each format are given: codec, pixel layout, options.
struct FormatRecipe {
    const char* muxer;
    const char* encoder;
    AVPixelFormat pixels;
    const char* codecOptions; // key=value pairs for av_dict_parse_string
    const char* muxerOptions;
};

FormatRecipe recipeOf(MovieFormat format)
{
    switch (format) {
    case MovieFormat::Mp4:
        // Constant quality; the index at the front so that browsers play it while it loads.
        return {"mp4", "libx264", AV_PIX_FMT_YUV420P, "preset=veryfast:crf=20", "movflags=+faststart"};
    case MovieFormat::WebM:
        return {"webm", "libvpx-vp9", AV_PIX_FMT_YUV420P, "deadline=realtime:cpu-used=8:row-mt=1:crf=30:b=0", ""};
    case MovieFormat::Gif:
        break;
    }
    return {"gif", "gif", AV_PIX_FMT_PAL8, "", "loop=0"};
}

std::string errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// FFmpeg's own messages would repeat ours on standard error, or chatter.
void quietLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

} // namespace

struct MovieEncoder::Impl {
    std::string path;
    MovieFormat format = MovieFormat::Mp4;
    MovieSettings settings;
    ReplacingFileWriter file;
    std::int64_t position = 0, size = 0; // of the file, where the muxer writes next
    std::string failure; // the first failure; later calls repeat it
    AVFormatContext* container = nullptr;
    AVIOContext* io = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    PaletteQuantizer quantizer;
    std::int64_t nextPts = 0;

    ~Impl() { Release(); }
    void Release();
    bool Fail(const std::string& reason);
    // False, with error set, after a failure or once the movie is finished or cancelled.
    bool Usable(std::string& error) const;
    bool OpenCodec(const FormatRecipe& recipe);
    bool OpenContainer(const FormatRecipe& recipe);
    bool Send(AVFrame* frame);
    bool Convert(const std::uint8_t* bgra);

    static int WritePacket(void* opaque, std::uint8_t* bytes, int size);
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);
};

void MovieEncoder::Impl::Release()
{
    sws_freeContext(scaler);
    scaler = nullptr;
    av_packet_free(&packet);
    av_frame_free(&picture);
    avcodec_free_context(&codec);
    if (io) av_freep(&io->buffer);
    avio_context_free(&io);
    avformat_free_context(container);
    container = nullptr;
    file.Abandon();
}

bool MovieEncoder::Impl::Fail(const std::string& reason)
{
    if (failure.empty()) failure = "Cannot save " + path + ": " + reason + ".";
    Release();
    return false;
}

bool MovieEncoder::Impl::Usable(std::string& error) const
{
    if (!failure.empty()) error = failure;
    else if (!codec) error = "Cannot save " + path + ": the movie was already finished or cancelled.";
    return failure.empty() && codec;
}

int MovieEncoder::Impl::WritePacket(void* opaque, std::uint8_t* bytes, int size)
{
    auto* self = static_cast<Impl*>(opaque);
    std::string error;
    if (!self->file.WriteAt(std::size_t(self->position), bytes, std::size_t(size), error)) {
        // The file's own message, with the system's reason.
        if (self->failure.empty()) self->failure = error;
        return AVERROR(EIO);
    }
    self->position += size;
    self->size = std::max(self->size, self->position);
    return size;
}

std::int64_t MovieEncoder::Impl::Seek(void* opaque, std::int64_t offset, int whence)
{
    auto* self = static_cast<Impl*>(opaque);
    std::int64_t to = offset;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return self->size;
    case SEEK_SET: break;
    case SEEK_CUR: to += self->position; break;
    case SEEK_END: to += self->size; break;
    default: return AVERROR(EINVAL);
    }
    if (to < 0) return AVERROR(EINVAL);
    self->position = to;
    return to;
}

bool MovieEncoder::Impl::OpenCodec(const FormatRecipe& recipe)
{
    const AVCodec* encoder = avcodec_find_encoder_by_name(recipe.encoder);
    if (!encoder) return Fail(std::string("this system's FFmpeg has no ") + recipe.encoder + " encoder");
    codec = avcodec_alloc_context3(encoder);
    if (!codec) return Fail("there is not enough memory for the encoder");
    const AVRational rate = av_d2q(settings.framesPerSecond, 1 << 16);
    codec->width = settings.width;
    codec->height = settings.height;
    codec->time_base = av_inv_q(rate);
    codec->framerate = rate;
    codec->pix_fmt = recipe.pixels;
    codec->color_range = AVCOL_RANGE_MPEG;
    codec->colorspace = AVCOL_SPC_SMPTE170M;
    if (container->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    av_dict_parse_string(&options, recipe.codecOptions, "=", ":", 0);
    const int opened = avcodec_open2(codec, encoder, &options);
    av_dict_free(&options);
    if (opened < 0) return Fail("the " + std::string(recipe.encoder) + " encoder would not start (" + errorText(opened) + ")");
    picture = av_frame_alloc();
    packet = av_packet_alloc();
    if (!picture || !packet) return Fail("there is not enough memory for a frame");
    picture->format = recipe.pixels;
    picture->width = settings.width;
    picture->height = settings.height;
    if (av_frame_get_buffer(picture, 0) < 0) return Fail("there is not enough memory for a frame");
    if (recipe.pixels != AV_PIX_FMT_PAL8) {
        scaler = sws_getContext(settings.width, settings.height, AV_PIX_FMT_BGRA, settings.width, settings.height,
                                recipe.pixels, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!scaler) return Fail("the frames cannot be converted for the encoder");
    }
    return true;
}

bool MovieEncoder::Impl::OpenContainer(const FormatRecipe& recipe)
{
    stream = avformat_new_stream(container, nullptr);
    if (!stream) return Fail("there is not enough memory for the movie");
    stream->time_base = codec->time_base;
    stream->avg_frame_rate = codec->framerate;
    if (avcodec_parameters_from_context(stream->codecpar, codec) < 0) return Fail("the encoder's settings are not usable");
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    if (buffer) io = avio_alloc_context(buffer, kIoBufferBytes, 1, this, nullptr, WritePacket, Seek);
    if (!io) {
        av_free(buffer);
        return Fail("there is not enough memory for the movie");
    }
    container->pb = io;
    container->flags |= AVFMT_FLAG_CUSTOM_IO;
    // Moving the MP4 index to the front reads the file back by its name.
    container->url = av_strdup(("file:" + file.temporary()).c_str());
    AVDictionary* options = nullptr;
    av_dict_parse_string(&options, recipe.muxerOptions, "=", ":", 0);
    const int written = avformat_write_header(container, &options);
    av_dict_free(&options);
    if (written < 0) return Fail("the movie's header could not be written (" + errorText(written) + ")");
    return true;
}

bool MovieEncoder::Impl::Send(AVFrame* frame)
{
    int code = avcodec_send_frame(codec, frame);
    if (code < 0) return Fail("the encoder refused a frame (" + errorText(code) + ")");
    for (;;) {
        code = avcodec_receive_packet(codec, packet);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
        if (code < 0) return Fail("a frame could not be encoded (" + errorText(code) + ")");
        if (packet->duration <= 0) packet->duration = 1;
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        code = av_interleaved_write_frame(container, packet);
        if (code < 0) return Fail("a frame could not be written (" + errorText(code) + ")");
    }
}

bool MovieEncoder::Impl::Convert(const std::uint8_t* bgra)
{
    if (av_frame_make_writable(picture) < 0) return Fail("there is not enough memory for a frame");
    const int stride = settings.width * 4;
    if (scaler) {
        // The bottom row first: read upwards from the last row.
        const std::uint8_t* rows[1] = {bgra + std::size_t(settings.height - 1) * std::size_t(stride)};
        const int strides[1] = {-stride};
        sws_scale(scaler, rows, strides, 0, settings.height, picture->data, picture->linesize);
        return true;
    }
    Palette palette;
    quantizer.Quantize(bgra, settings.width, settings.height, picture->data[0], picture->linesize[0], palette);
    std::memcpy(picture->data[1], palette.data(), sizeof palette);
    return true;
}

MovieEncoder::MovieEncoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

MovieEncoder::~MovieEncoder() = default;

std::unique_ptr<MovieEncoder> MovieEncoder::Open(const std::string& path, const MovieSettings& settings,
                                                 std::string& error)
{
    quietLibraries();
    const std::optional<MovieFormat> format = MovieFormatOf(path);
    if (!format) {
        error = "Cannot save " + path + ": its extension names no movie format (.mp4, .webm or .gif).";
        return nullptr;
    }
    std::string problem = CheckMovieSize(*format, settings.width, settings.height);
    if (problem.empty()) problem = CheckFrameRate(settings.framesPerSecond);
    if (!problem.empty()) {
        error = "Cannot save " + path + ": " + problem + ".";
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->format = *format;
    impl->settings = settings;
    if (!impl->file.Open(path, error)) return nullptr;
    const FormatRecipe recipe = recipeOf(*format);
    if (avformat_alloc_output_context2(&impl->container, nullptr, recipe.muxer, nullptr) < 0)
        impl->Fail(std::string("this system's FFmpeg cannot write ") + recipe.muxer + " files");
    else if (impl->OpenCodec(recipe))
        impl->OpenContainer(recipe);
    if (!impl->Usable(error)) return nullptr;
    return std::unique_ptr<MovieEncoder>(new MovieEncoder(std::move(impl)));
}

bool MovieEncoder::PushFrame(const std::uint8_t* bgra, std::string& error)
{
    Impl& m = *impl_;
    if (!m.Usable(error)) return false;
    if (!m.Convert(bgra)) return m.Usable(error);
    m.picture->pts = m.nextPts;
    if (!m.Send(m.picture)) return m.Usable(error);
    ++m.nextPts;
    return true;
}

bool MovieEncoder::RepeatFrame(std::string& error)
{
    Impl& m = *impl_;
    if (!m.Usable(error)) return false;
    if (m.nextPts == 0) {
        error = "Cannot save " + m.path + ": there is no frame to repeat.";
        return false;
    }
    m.picture->pts = m.nextPts;
    if (!m.Send(m.picture)) return m.Usable(error);
    ++m.nextPts;
    return true;
}

std::int64_t MovieEncoder::frames() const { return impl_->nextPts; }

const MovieSettings& MovieEncoder::settings() const { return impl_->settings; }

bool MovieEncoder::Finish(std::string& error)
{
    Impl& m = *impl_;
    if (!m.Usable(error)) return false;
    if (!m.Send(nullptr)) return m.Usable(error);
    const int trailer = av_write_trailer(m.container);
    avio_flush(m.io);
    if (trailer < 0 || m.io->error < 0) {
        m.Fail("the end of the movie could not be written (" + errorText(trailer < 0 ? trailer : m.io->error) + ")");
        return m.Usable(error);
    }
    const bool committed = m.file.Commit(error);
    m.Release();
    return committed;
}

void MovieEncoder::Cancel() { impl_->Release(); }

} // namespace movie

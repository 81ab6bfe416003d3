#include "engine/codecs/Deflate.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <libdeflate.h>
#include <zlib.h>

#include "engine/codecs/Codecs.h"

namespace engine::codecs {
namespace {

// Pieces large enough that each costs far more than a thread and the matches
// lost where it begins; at most this many, so that a huge picture grows only
// a few hundred bytes.
constexpr size_t PieceBytes = size_t(128) << 10;
constexpr size_t MaxPieces = 8;

using Compressor = std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)>;

Compressor compressor(int level) {
    return Compressor(libdeflate_alloc_compressor(level), libdeflate_free_compressor);
}

// Where the last block of a raw deflate stream begins and where it ends, in
// bits from the stream's start: zlib reads the stream a block at a time,
// stopping at the end of each, where it says whether that block was the last
// and how many bits of the last byte it took are left.
bool findLastBlock(const QByteArray& stream, size_t& start, size_t& end) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return false;
    std::vector<Bytef> scratch(size_t(64) << 10); // the data again, not kept
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.constData()));
    z.avail_in = static_cast<uInt>(stream.size());
    start = 0;
    bool ended = false;
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = scratch.data();
        z.avail_out = static_cast<uInt>(scratch.size());
        status = inflate(&z, Z_BLOCK);
        if (z.data_type & 128) { // at the end of a block
            const size_t at = size_t(z.total_in) * 8 - size_t(z.data_type & 7);
            if (z.data_type & 64)
                end = at, ended = true;
            else
                start = at; // where the next block begins
        }
    }
    inflateEnd(&z);
    return status == Z_STREAM_END && ended;
}

// A whole raw deflate stream made one that goes on: its last block no longer
// marked the last, then an empty stored block, not the last either, which
// brings what follows to a whole byte (as zlib's own flush does).
bool continueStream(QByteArray& stream) {
    size_t start = 0, end = 0;
    if (!findLastBlock(stream, start, end))
        return false;
    const qsizetype had = stream.size();
    stream.resize(static_cast<qsizetype>((end + 3 + 7) / 8));
    if (stream.size() > had)
        std::fill(stream.begin() + had, stream.end(), '\0');
    auto* bits = reinterpret_cast<unsigned char*>(stream.data());
    bits[start / 8] &= static_cast<unsigned char>(~(1u << (start % 8)));
    // The stored block's three header bits are zeros, as are those to the byte's end.
    bits[end / 8] &= static_cast<unsigned char>((1u << (end % 8)) - 1);
    stream.append("\0\0\xFF\xFF", 4); // its length, 0, and that length's complement
    return true;
}

struct Piece {
    const unsigned char* data;
    size_t size;
    QByteArray stream;
    bool ok = false;
};

void compressPiece(libdeflate_compressor* c, Piece& piece, bool last) {
    piece.stream =
        QByteArray(static_cast<qsizetype>(libdeflate_deflate_compress_bound(c, piece.size)),
                   Qt::Uninitialized);
    const size_t n = libdeflate_deflate_compress(c, piece.data, piece.size, piece.stream.data(),
                                                 static_cast<size_t>(piece.stream.size()));
    piece.stream.truncate(static_cast<qsizetype>(n));
    piece.ok = n > 0 && (last || continueStream(piece.stream));
}

// The zlib header libdeflate writes for `level`, so that data of one piece
// comes out the same either way.
std::array<char, 2> zlibHeader(int level) {
    const unsigned hint = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    unsigned header = (0x78u << 8) | (hint << 6);
    header |= 31 - header % 31;
    return {static_cast<char>(header >> 8), static_cast<char>(header & 0xFF)};
}

// Threads kept for compressing pieces, one fewer than the machine's cores,
// asleep between pictures. They serve every caller, the threads of a batch
// too; each caller works on its own pieces as well, so no picture waits on
// another's.
class Helpers {
  public:
    static Helpers& instance() {
        // Never destroyed: a condition variable's end would wait for the
        // threads asleep on it, and hold up the process's exit.
        static Helpers* const helpers = new Helpers;
        return *helpers;
    }
    size_t count() const { return m_count; }
    void run(std::function<void()> task) {
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_tasks.push_back(std::move(task));
        }
        m_ready.notify_one();
    }

  private:
    Helpers() : m_count(std::max(1u, std::thread::hardware_concurrency()) - 1) {
        for (size_t i = 0; i < m_count; ++i)
            std::thread([this] { serve(); }).detach();
    }
    [[noreturn]] void serve() {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock<std::mutex> hold(m_lock);
                m_ready.wait(hold, [this] { return !m_tasks.empty(); });
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }

    const size_t m_count;
    std::mutex m_lock;
    std::condition_variable m_ready;
    std::deque<std::function<void()>> m_tasks;
};

// One picture's pieces, shared by the threads that compress them.
struct Pieces {
    std::vector<Piece> pieces;
    int level = 0;
    std::atomic<size_t> next = 0;
    std::mutex lock;
    std::condition_variable allDone;
    size_t done = 0;

    // Takes pieces until none is left.
    void work() {
        const Compressor c = compressor(level);
        for (size_t i; (i = next++) < pieces.size();) {
            if (c)
                compressPiece(c.get(), pieces[i], i + 1 == pieces.size());
            const std::lock_guard<std::mutex> hold(lock);
            if (++done == pieces.size())
                allDone.notify_all();
        }
    }
};

} // namespace

void startCompressorThreads() {
    Helpers::instance();
}

QByteArray zlibCompress(const void* data, size_t size, size_t unit, int level) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    unit = std::max<size_t>(unit, 1);
    const size_t units = (size + unit - 1) / unit;
    const size_t count = std::clamp<size_t>(std::min(size / PieceBytes, units), 1, MaxPieces);
    if (count == 1) {
        const Compressor c = compressor(level);
        if (!c)
            return QByteArray();
        QByteArray out(static_cast<qsizetype>(libdeflate_zlib_compress_bound(c.get(), size)),
                       Qt::Uninitialized);
        out.truncate(static_cast<qsizetype>(libdeflate_zlib_compress(
            c.get(), data, size, out.data(), static_cast<size_t>(out.size()))));
        return out;
    }
    const auto shared = std::make_shared<Pieces>();
    shared->level = level;
    std::vector<Piece>& pieces = shared->pieces;
    const size_t perPiece = (units + count - 1) / count * unit;
    for (size_t at = 0; at < size; at += perPiece)
        pieces.push_back({bytes + at, std::min(perPiece, size - at), {}});
    Helpers& helpers = Helpers::instance();
    for (size_t t = 0; t < std::min(helpers.count(), pieces.size() - 1); ++t)
        helpers.run([shared] { shared->work(); });
    shared->work();
    {
        std::unique_lock<std::mutex> hold(shared->lock);
        shared->allDone.wait(hold, [&] { return shared->done == pieces.size(); });
    }
    QByteArray out;
    size_t total = 6;
    for (const Piece& p : pieces) {
        if (!p.ok)
            return QByteArray();
        total += static_cast<size_t>(p.stream.size());
    }
    out.reserve(static_cast<qsizetype>(total));
    const std::array<char, 2> header = zlibHeader(level);
    out.append(header.data(), 2);
    for (const Piece& p : pieces)
        out.append(p.stream);
    const std::uint32_t sum = libdeflate_adler32(1, data, size);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((sum >> shift) & 0xFF));
    return out;
}

} // namespace engine::codecs

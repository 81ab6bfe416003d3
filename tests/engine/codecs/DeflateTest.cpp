#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include <zlib.h>

#include "engine/codecs/Deflate.h"

using engine::codecs::zlibCompress;

// zlib, not the library that compressed them, reads the streams back: data of
// one piece and of many (cut where the unit allows), noise, long repeats and
// runs, and what each level does with them, must come back byte for byte.
TEST(Deflate, StreamsOfManyPiecesReadBackWhole) {
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    struct Case {
        size_t size, unit;
        int kind; // 0 noise, 1 a 96-byte tile repeated, 2 runs of noise and zeros
    };
    for (const Case& c : std::vector<Case>{{1, 1, 0},
                                           {(size_t(128) << 10) - 1, 1, 1},
                                           {300'000, 1'725, 1},
                                           {300'000, 20'671, 2},
                                           {700'001, 3'446, 0},
                                           {2'500'000, 1, 2},
                                           {(size_t(128) << 10) * 2, size_t(128) << 10, 1}}) {
        std::vector<unsigned char> data(c.size);
        for (size_t i = 0; i < data.size(); ++i) {
            const unsigned noise = next() >> 24;
            data[i] = static_cast<unsigned char>(c.kind == 0      ? noise
                                                 : c.kind == 1    ? (i % 96) * 37 % 251
                                                 : (i / 5000) % 2 ? noise
                                                                  : 0);
        }
        for (int level : {1, 7}) {
            const QByteArray stream = zlibCompress(data.data(), data.size(), c.unit, level);
            ASSERT_FALSE(stream.isEmpty()) << c.size << " at level " << level;
            std::vector<unsigned char> back(data.size() + 1);
            uLongf length = static_cast<uLongf>(back.size());
            ASSERT_EQ(uncompress(back.data(), &length,
                                 reinterpret_cast<const Bytef*>(stream.constData()),
                                 static_cast<uLong>(stream.size())),
                      Z_OK)
                << c.size << " at level " << level;
            back.resize(length);
            EXPECT_TRUE(back == data) << c.size << " at level " << level;
        }
    }
}

// The bytes depend on the data alone: pictures compressed side by side, as a
// batch's threads do, sharing the helper threads, come out as one alone does.
TEST(Deflate, SameBytesWhateverElseIsCompressed) {
    std::vector<unsigned char> data(900'000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] =
            static_cast<unsigned char>((i % 1'000) < 600 ? (i % 96) * 37 : i * 2654435761u >> 13);
    const QByteArray alone = zlibCompress(data.data(), data.size(), 3'000, 6);
    std::vector<QByteArray> together(4);
    std::vector<std::thread> threads;
    for (QByteArray& out : together)
        threads.emplace_back([&] { out = zlibCompress(data.data(), data.size(), 3'000, 6); });
    for (std::thread& t : threads)
        t.join();
    for (const QByteArray& out : together)
        EXPECT_EQ(out, alone);
}

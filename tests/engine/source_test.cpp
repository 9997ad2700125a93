// A file source is read by the engine's thread and by a decoder's own
// threads at once (a plug-in may read ahead on threads of its own): every read
// must give the bytes at its own offset.
#include <gtest/gtest.h>

#include "media/source.h"
#include "test_support.h"

#include <string>
#include <thread>
#include <vector>

TEST(FileSource, ReadsFromManyThreadsAtOnceEachGetTheirOwnBytes) {
    std::string bytes(1 << 20, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = (char)(i * 7 + i / 251);
    std::wstring path = MakeScratchFolder(L"source") + L"bytes.bin";
    ASSERT_TRUE(WriteBytes(path, bytes));
    TQSOURCE source;
    ASSERT_TRUE(OpenFileSource(path.c_str(), 0, 0, &source));
    const int threads = 4, reads = 2000;
    std::vector<int> wrong(threads);
    std::vector<std::thread> readers;
    for (int t = 0; t < threads; ++t)
        readers.emplace_back([&, t] {
            char buffer[512];
            for (int i = 0; i < reads; ++i) {
                DWORD at = (DWORD)((t * 7919u + i * 104729u) % (bytes.size() - sizeof buffer));
                DWORD got = source.Read(source.Context, at, buffer, sizeof buffer);
                wrong[t] += got != sizeof buffer || bytes.compare(at, sizeof buffer, buffer, got);
            }
        });
    for (std::thread &reader : readers)
        reader.join();
    CloseSource(&source);
    EXPECT_EQ(std::vector<int>(threads, 0), wrong);
}

// Decoding speed of downloaded messages: a 10 MB message carrying a base64 attachment, and a
// 10 MB quoted-printable HTML text.
#include "mail/BodyCodecs.h"
#include "mail/MailMessage.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr std::size_t kMessageSize = 10 * 1024 * 1024;

std::string headerBlock(const std::string& contentType) {
    return "From: Ann <ann@example.com>\r\nTo: bob@example.org\r\nSubject: Bench\r\n"
           "MIME-Version: 1.0\r\nContent-Type: " +
           contentType + "\r\n\r\n";
}

std::string base64Message() {
    std::string raw = headerBlock("multipart/mixed; boundary=\"=_bench\"");
    raw += "--=_bench\r\nContent-Type: text/plain\r\n\r\nSee the attachment.\r\n\r\n--=_bench\r\n"
           "Content-Type: application/octet-stream; name=\"data.bin\"\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n";
    std::string chunk(57, '\0');
    for (std::size_t n = 0; raw.size() < kMessageSize; ++n) {
        for (std::size_t i = 0; i < chunk.size(); ++i)
            chunk[i] = static_cast<char>(n * 7 + i * 13);
        raw += mv::EncodeBase64Text(chunk) + "\r\n";
    }
    return raw + "\r\n--=_bench--\r\n";
}

std::string quotedPrintableMessage() {
    std::string raw = headerBlock("text/html; charset=\"iso-8859-1\"");
    raw.insert(raw.size() - 2, "Content-Transfer-Encoding: quoted-printable\r\n");
    while (raw.size() < kMessageSize)
        raw += "<p class=3D\"x\">Caf=E9 au lait and some more text to fill the line=\r\n"
               " to its usual length</p>\r\n";
    return raw;
}

void decode(benchmark::State& state, const std::string& raw) {
    for (auto _ : state) {
        // A downloaded file is read into a string that the decoder takes over; the copy made
        // here stands in for that read and is not timed.
        state.PauseTiming();
        std::string text = raw;
        mv::TMailMessage message;
        state.ResumeTiming();
        message.LoadFromText(std::move(text));
        benchmark::DoNotOptimize(message.Attachments.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * raw.size()));
}

void BM_DecodeBase64Attachment(benchmark::State& state) {
    static const std::string raw = base64Message();
    decode(state, raw);
}
BENCHMARK(BM_DecodeBase64Attachment)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_DecodeQuotedPrintableHtml(benchmark::State& state) {
    static const std::string raw = quotedPrintableMessage();
    decode(state, raw);
}
BENCHMARK(BM_DecodeQuotedPrintableHtml)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace

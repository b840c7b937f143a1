// Reads the largest and most awkward channel lists the reader accepts or refuses and prints,
// for each, the time taken divided by one second (the most a user should wait for an answer
// about a file). Figures well below 1.00 leave room for slower machines.
#include <chrono>
#include <cstdio>
#include <string>

#include "files/channel_list.h"
#include "model/band.h"

using namespace zrk6;

namespace {

std::string Repeat(const std::string &piece, std::size_t bytes)
{
    std::string out;
    while (out.size() + piece.size() <= bytes)
        out += piece;
    return out;
}

} // namespace

int main()
{
    const std::string header =
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
        "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n";
    const std::string row = "1,\"Name, quoted\",146.523100,-,0.600000,Cross,67.0,88.5,754,RN,023,DTCS->Tone,FM,5.00,,"
                            "2.5W,a comment,,,,\r\n";
    std::string rows = header;
    for (std::size_t i = 0; i < kMaxCsvRecords - 1; ++i)
        rows += row;
    struct Case {
        const char *what;
        std::string text;
    } cases[] = {
        {"10000 rows, each rounded and replacing the one before", rows},
        {"4 MiB of comment lines", Repeat("# " + std::string(60, 'c') + "\n", kMaxCsvBytes)},
        {"4 MiB of short rows (refused: too many)", header + Repeat("1,2\n", kMaxCsvBytes - header.size())},
        {"4 MiB of Chinese text in one cell (refused: too long)",
         header + "1,\"" + Repeat("信道", kMaxCsvBytes - header.size() - 8) + "\""},
        {"100000 columns", header + std::string(100000, ',') + "\n"},
        {"4 MiB with an unclosed quote at the start", header + "1,\"" + Repeat("x,y\n", kMaxCsvBytes / 2)},
    };
    const Band band = BandFromRow(0);
    std::printf("%-56s %8s  %s\n", "input", "t / 1 s", "outcome");
    for (const Case &c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const ChannelListImport import = ReadChannelList(c.text, band);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%-56s %8.3f  %s\n", c.what, took.count(),
                    import.ok() ? (std::to_string(import.channels.size()) + " channel(s), " +
                                   std::to_string(import.report.size()) + " report lines")
                                      .c_str()
                                : ListErrorText(import, kEnglish).c_str());
    }
    return 0;
}

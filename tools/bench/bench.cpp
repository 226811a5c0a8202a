// Measures the extension in the host simulator against the raw echo server, with the same
// client, frames and machine: round-trip latency, throughput, the host main thread's cost per
// request and the memory the extension adds. Writes build/bench/results.md and the raw latencies.
#include "bench_spot_command.h"
#include "host_run.h"
#include "pipe_client.h"

#include <algorithm>
#include <cstdio>

namespace
{
struct Request
{
    const char* name;
    juce::MemoryBlock payload;
};

struct Figures
{
    std::vector<double> latencyUs;
    double requestsPerSecond = 0.0;
    double pipelinedRequests = 0.0, pipelinedSeconds = 0.0;
    std::vector<double> dispatchUs;
    double pipelinedDispatchUs = 0.0; // main-thread time per request under the pipelined load
    juce::var memory;
};

double percentile(std::vector<double> values, double q)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto index = std::min(values.size() - 1, static_cast<size_t>(q * values.size()));
    return values[index];
}

double microsecondsSince(juce::int64 start)
{
    return 1e6 *
           juce::Time::highResolutionTicksToSeconds(juce::Time::getHighResolutionTicks() - start);
}

bool measure(PipeClient& peer, const juce::MemoryBlock& payload, int roundTrips, int pipelined,
             Figures& figures)
{
    const juce::MemoryBlock one = frame(payload);
    for (int i = 0; i < 200 + roundTrips; ++i)
    {
        const auto start = juce::Time::getHighResolutionTicks();
        if (!writeBytes(peer, one.getData(), one.getSize()) || !readFrame(peer, 5000))
            return false;
        if (i >= 200)
            figures.latencyUs.push_back(microsecondsSince(start));
    }

    constexpr int window = 32;
    juce::MemoryBlock many;
    for (int i = 0; i < window; ++i)
        many.append(one.getData(), one.getSize());
    const auto start = juce::Time::getHighResolutionTicks();
    for (int sent = 0; sent < pipelined; sent += window)
    {
        if (!writeBytes(peer, many.getData(), many.getSize()))
            return false;
        for (int i = 0; i < window; ++i)
            if (!readFrame(peer, 5000))
                return false;
    }
    figures.pipelinedRequests += pipelined;
    figures.pipelinedSeconds += microsecondsSince(start) / 1e6;
    figures.requestsPerSecond = figures.pipelinedRequests / figures.pipelinedSeconds;
    return true;
}

juce::String row(std::initializer_list<juce::String> cells)
{
    return "| " + juce::StringArray(cells).joinIntoString(" | ") + " |\n";
}

juce::String fixed(double value, int places = 1)
{
    return juce::String(value, places);
}

juce::String megabytes(double bytes)
{
    return juce::String(bytes / (1024.0 * 1024.0), 2) + " MiB";
}
} // namespace

int main(int argc, char** argv)
{
    juce::File out = juce::File::getCurrentWorkingDirectory();
    int roundTrips = 2000, pipelined = 20000, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const juce::String arg(argv[i]), value = juce::String::fromUTF8(argv[i + 1]);
        if (arg == "--out")
            out = juce::File::getCurrentWorkingDirectory().getChildFile(value);
        else if (arg == "--round-trips")
            roundTrips = value.getIntValue();
        else if (arg == "--throughput")
            pipelined = value.getIntValue();
        else if (arg == "--rounds")
            rounds = juce::jmax(1, value.getIntValue());
    }
    out.createDirectory();

    const Request requests[] = {{"VERSION_REQUEST", juce::MemoryBlock("\x08\x03", 2)},
                                {"SESSION_REQUEST", juce::MemoryBlock("\x08\x04", 2)},
                                {"SPOT_COMMAND", benchSpotPayload()}};
    const juce::String scenario =
        R"({"tracks": [{"selected": true}], "cursor": 0.0, "record_dispatch": true,
            "sources": {"C:\\Samples\\Bench\\door slam 04.wav": 10.0},
            "project_path": "C:\\Projects\\Bench\\bench session.rpp"})";

    juce::String latency, ratios, mainThread, memory;
    for (const Request& request : requests)
    {
        Figures extension, baseline;
        double pipelinedDispatchMs = 0.0;
        // Rounds alternate which server goes first, so that a drift of the machine's speed
        // during the run does not favour one of them.
        for (int round = 0; round < rounds; ++round)
            for (int turn = 0; turn < 2; ++turn)
            {
                if ((turn == 0) == (round % 2 == 0))
                {
                    HostRun host(scenario);
                    PipeClient peer;
                    if (!host.waitForOutput("entry 1") || !openPipe(peer, 5000) ||
                        !measure(peer, request.payload, roundTrips, pipelined, extension))
                    {
                        std::fprintf(stderr, "bench: the extension did not answer %s\n",
                                     request.name);
                        return 1;
                    }
                    closePipe(peer);
                    host.stop(60000);
                    // Under a pipelined load JUCE hands several queued deliveries to one
                    // dispatch, so the cost per request is taken from the one-at-a-time round
                    // trips: after the connection announcement and the warm-up, one dispatch
                    // per request.
                    const auto& times = *host.state()["dispatch"]["times_ms"].getArray();
                    for (int i = 1 + 200; i < juce::jmin(times.size(), 1 + 200 + roundTrips); ++i)
                        extension.dispatchUs.push_back(1000.0 * static_cast<double>(times[i]));
                    for (int i = 1 + 200 + roundTrips; i < times.size(); ++i)
                        pipelinedDispatchMs += static_cast<double>(times[i]);
                    extension.memory = host.state()["memory"];
                }
                else
                {
                    HostRun echo(artifactDirectory().getChildFile("echo_server.exe"), "");
                    PipeClient peer;
                    if (!echo.waitForOutput("ready") ||
                        !openPipe(peer, 5000, L"\\\\.\\pipe\\vantorel_echo") ||
                        !measure(peer, request.payload, roundTrips, pipelined, baseline))
                    {
                        std::fprintf(stderr, "bench: the echo server did not answer %s\n",
                                     request.name);
                        return 1;
                    }
                }
            }
        extension.pipelinedDispatchUs = 1000.0 * pipelinedDispatchMs / (rounds * pipelined);

        for (auto* figures : {&extension, &baseline})
        {
            juce::StringArray lines;
            for (double us : figures->latencyUs)
                lines.add(juce::String(us, 2));
            out.getChildFile(juce::String("latency-") +
                             (figures == &extension ? "extension" : "baseline") + "-" +
                             request.name + ".txt")
                .replaceWithText(lines.joinIntoString("\n") + "\n");
        }

        for (auto* figures : {&extension, &baseline})
        {
            const auto& v = figures->latencyUs;
            latency << row({request.name, figures == &extension ? "extension" : "raw pipe",
                            fixed(*std::min_element(v.begin(), v.end())), fixed(percentile(v, 0.5)),
                            fixed(percentile(v, 0.99)),
                            fixed(*std::max_element(v.begin(), v.end())),
                            juce::String(juce::roundToInt(figures->requestsPerSecond))});
        }
        ratios << row(
            {request.name,
             fixed(percentile(extension.latencyUs, 0.5) / percentile(baseline.latencyUs, 0.5), 2),
             fixed(percentile(extension.latencyUs, 0.99) / percentile(baseline.latencyUs, 0.99), 2),
             fixed(extension.requestsPerSecond / baseline.requestsPerSecond, 2)});
        mainThread << row({request.name, fixed(percentile(extension.dispatchUs, 0.5)),
                           fixed(percentile(extension.dispatchUs, 0.99)),
                           fixed(percentile(extension.dispatchUs, 1.0)),
                           fixed(extension.pipelinedDispatchUs)});
        const auto ws = [&](int i)
        { return static_cast<double>(extension.memory["working_set"][i]); };
        const auto pv = [&](int i) { return static_cast<double>(extension.memory["private"][i]); };
        memory << row({request.name, megabytes(ws(1) - ws(0)), megabytes(pv(1) - pv(0)),
                       megabytes(ws(2) - ws(1)), megabytes(pv(2) - pv(1))});
    }

    juce::String report;
    report
        << rounds << " rounds per server, alternating. Round trip on one connection: " << roundTrips
        << " requests a round after 200 warm-up ones; throughput: " << pipelined
        << " requests a round, sent 32 at a time. Microseconds.\n\n"
        << row({"request", "server", "min", "p50", "p99", "max", "requests/s"})
        << row({"---", "---", "---:", "---:", "---:", "---:", "---:"}) << latency
        << "\nExtension / raw pipe, pair by pair (1: as fast as the bare transport; latency above "
           "1 and throughput below 1 are the extension's own cost):\n\n"
        << row({"request", "p50 latency", "p99 latency", "throughput"})
        << row({"---", "---:", "---:", "---:"}) << ratios
        << "\nHost main thread per request (hostsim times each dispatch), microseconds; one at a "
           "time, and the mean under the pipelined load:\n\n"
        << row({"request", "p50", "p99", "max", "pipelined mean"})
        << row({"---", "---:", "---:", "---:", "---:"}) << mainThread
        << "\nMemory of the host process: what loading the extension adds, and the change over all "
        << 200 + roundTrips + pipelined
        << " requests of the last run (the spot run includes the simulated project's new "
           "items):\n\n"
        << row({"request", "added: working set", "added: committed", "run: working set",
                "run: committed"})
        << row({"---", "---:", "---:", "---:", "---:"}) << memory;
    out.getChildFile("results.md").replaceWithText(report);
    std::printf("%s", report.toRawUTF8());
    return 0;
}

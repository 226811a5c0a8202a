// The command-line peer: talks to the extension over its pipe as the desktop application does.
#include "pipe_client.h"
#include "requests.h"

#include <cstdio>

namespace
{
using VantorelReaper::ClientMessage;
using VantorelReaper::ServerMessage;

struct Options
{
    juce::String command;
    juce::String file;
    juce::String name;
    std::optional<float> in;
    std::optional<float> out;
    bool json = false;
    int timeoutMs = 5000;
};

int usage(const juce::String& problem)
{
    std::fprintf(stderr,
                 "peer: %s\nusage: peer [--json] [--timeout MS] version | project-path | info | "
                 "spot FILE [--name N] [--in S] [--out S]\n",
                 problem.toRawUTF8());
    return 2;
}

int fail(int code, const juce::String& message)
{
    std::fprintf(stderr, "peer: %s\n", message.toRawUTF8());
    return code;
}

juce::String json(const juce::String& text)
{
    return juce::JSON::toString(juce::var(text));
}

juce::String hex(const juce::MemoryBlock& block)
{
    return juce::String::toHexString(block.getData(), static_cast<int>(block.getSize()), 0)
        .toUpperCase();
}

void print(const juce::String& line)
{
    std::printf("%s\n", line.toRawUTF8());
}

ClientMessage buildRequest(const Options& options)
{
    ClientMessage message;
    if (options.command == "version")
        message.set_type(ClientMessage::VERSION_REQUEST);
    else if (options.command == "project-path")
        message.set_type(ClientMessage::SESSION_REQUEST);
    else if (options.command == "info")
        message.set_type(ClientMessage::INFO_REQUEST);
    else
        message = spotCommand({options.file.toStdString(),
                               options.name.isNotEmpty()
                                   ? std::optional<std::string>(options.name.toStdString())
                                   : std::nullopt,
                               options.in, options.out});
    return message;
}

int report(const Options& options, const juce::MemoryBlock& payload)
{
    ServerMessage reply;
    if (!reply.ParseFromArray(payload.getData(), static_cast<int>(payload.getSize())))
        return fail(4, "the reply does not decode (" + hex(payload) + ")");

    juce::String type, detail, field;
    switch (reply.type())
    {
    case ServerMessage::VERSION:
        type = "VERSION";
        field = "version";
        detail = juce::String::fromUTF8(reply.version().version().c_str());
        break;
    case ServerMessage::RESPONSE:
        type = "RESPONSE";
        field = "project_path";
        detail = juce::String::fromUTF8(reply.response().text().c_str());
        break;
    case ServerMessage::SPOT_DONE:
        type = "SPOT_DONE";
        if (reply.has_error())
        {
            field = "error";
            detail = juce::String::fromUTF8(reply.error().text().c_str());
        }
        break;
    case ServerMessage::ERROR:
        type = "ERROR";
        field = "error";
        detail = juce::String::fromUTF8(reply.error().text().c_str());
        break;
    }

    if (options.json)
    {
        juce::String line = "{\"reply\": " + json(type);
        if (field.isNotEmpty())
            line << ", " << json(field) << ": " << json(detail);
        if (reply.has_error() && reply.error().has_code())
            line << ", \"code\": " << reply.error().code();
        line << ", \"bytes\": " << json(hex(payload)) << "}";
        print(line);
    }
    else if (type == "VERSION")
        print("version: " + detail);
    else if (type == "RESPONSE")
        print(detail.isEmpty()
                  ? juce::String("project path: (none; the project has not been saved)")
                  : "project path: " + detail);
    else if (type == "SPOT_DONE" && reply.has_error())
        print("spot failed: " + detail + " (code " + juce::String(reply.error().code()) + ")");
    else if (type == "SPOT_DONE")
        print("spot done: " + options.file);
    else
        print("error: " + detail);
    // A spot that the host could not carry out is a failure for whoever runs the peer.
    return reply.has_error() ? 1 : 0;
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const juce::String arg = juce::String::fromUTF8(argv[i]);
        auto value = [&]() -> std::optional<juce::String>
        {
            if (i + 1 >= argc)
                return std::nullopt;
            return juce::String::fromUTF8(argv[++i]);
        };
        if (arg == "--json")
            options.json = true;
        else if (arg == "--timeout" || arg == "--name" || arg == "--in" || arg == "--out")
        {
            const auto v = value();
            if (!v)
                return usage("missing value after " + arg);
            if (arg == "--timeout")
                options.timeoutMs = v->getIntValue();
            else if (arg == "--name")
                options.name = *v;
            else if (arg == "--in")
                options.in = v->getFloatValue();
            else
                options.out = v->getFloatValue();
        }
        else if (options.command.isEmpty())
            options.command = arg;
        else if (options.command == "spot" && options.file.isEmpty())
            options.file = arg;
        else
            return usage("unexpected argument " + arg);
    }
    if (!juce::StringArray{"version", "project-path", "info", "spot"}.contains(options.command))
        return usage(options.command.isEmpty() ? "no command given"
                                               : "unknown command " + options.command);
    if (options.command == "spot" && options.file.isEmpty())
        return usage("spot needs a FILE");

    PipeClient client;
    if (!openPipe(client, options.timeoutMs))
        return fail(3, "no extension is listening on " + extensionPipePath() + " (error " +
                           juce::String(static_cast<int>(client.lastError)) + ")");

    const juce::MemoryBlock payload = encodeMessage(buildRequest(options));

    if (options.command == "info")
    {
        const juce::MemoryBlock bytes = frame(payload);
        if (!writeBytes(client, bytes.getData(), bytes.getSize(), options.timeoutMs))
            return fail(3, "the request could not be written to the pipe");
        print(options.json
                  ? juce::String("{\"reply\": null}")
                  : juce::String("info request sent (the extension does not reply to it)"));
        return 0;
    }

    const auto reply = request(client, payload, options.timeoutMs);
    if (!reply)
        return fail(3, "no reply from the extension within " + juce::String(options.timeoutMs) +
                           " ms");
    return report(options, *reply);
}

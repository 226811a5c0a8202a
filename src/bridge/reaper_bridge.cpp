#include "reaper_bridge.h"

#include "dispatch_request.h"
#include "pipe_name.h"

namespace
{
constexpr int sendTimeoutMs = 1000;
constexpr int disconnectTimeoutMs = 4000;
constexpr juce::int64 logTrimBytes = 128 * 1024;
} // namespace

juce_ImplementSingleton(ReaperBridge)

ReaperBridge::ReaperBridge()
{
    juce::initialiseJuce_GUI();
    logger.reset(
        juce::FileLogger::createDefaultAppLogger("Vantorel", "Reaper.txt", {}, logTrimBytes));
    juce::Logger::setCurrentLogger(logger.get());

    if (createPipe(pipeName, sendTimeoutMs))
        juce::Logger::writeToLog("pipe created");
}

ReaperBridge::~ReaperBridge()
{
    // Always close the link here, even a broken one: once this destructor has begun, no queued
    // delivery may reach a callback of a half-destroyed bridge. Nothing is announced, since the
    // message thread is shut down below before anything could be dispatched.
    disconnect(disconnectTimeoutMs, Notify::no);

    juce::Logger::writeToLog("~ReaperBridge");
    juce::Logger::setCurrentLogger(nullptr);
    clearSingletonInstance();
    juce::shutdownJuce_GUI();
    logger.reset();
}

void ReaperBridge::connectionMade() {}

void ReaperBridge::connectionLost()
{
    juce::Logger::writeToLog("Connection Lost");
}

void ReaperBridge::messageReceived(const juce::MemoryBlock& message)
{
    const RequestOutcome outcome = dispatchRequest(message);
    if (outcome.reply != nullptr)
        sendMessage(*outcome.reply);
    if (outcome.logLine.isNotEmpty())
        juce::Logger::writeToLog(outcome.logLine);
}

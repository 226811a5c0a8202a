#include "fake_host.h"
#include "handle_spot_command.h"

#include <cmath>
#include <gtest/gtest.h>

namespace
{
using VantorelReaper::SpotCommand;

enum class Tracks
{
    none,
    noneSelected,
    secondSelected,
    getTrackFails
};

struct SpotCase
{
    const char* label;
    Tracks tracks = Tracks::secondSelected;
    std::optional<float> in;
    std::optional<float> out;
    double cursor = 0.0;
    double selectionStart = 0.0;
    double selectionEnd = 0.0;
    double sourceLength = 10.0;
    // expected
    const char* failure = "";
    int track = 1;
    double length = 10.0;
    std::optional<double> startOffset;
};

std::ostream& operator<<(std::ostream& os, const SpotCase& c)
{
    return os << c.label;
}

class Spotting : public testing::TestWithParam<SpotCase>
{
protected:
    FakeHost host;
    CapturingLogger log;

    juce::Result spot(const SpotCase& c, const char* path = "C:\\a.wav")
    {
        switch (c.tracks)
        {
        case Tracks::none:
            break;
        case Tracks::noneSelected:
            host.addTrack(false);
            host.addTrack(false);
            break;
        case Tracks::secondSelected:
            host.addTrack(false);
            host.addTrack(true);
            break;
        case Tracks::getTrackFails:
            host.addTrack(false);
            host.getTrackFails = true;
            break;
        }
        host.files["C:\\a.wav"] = c.sourceLength;
        host.cursor = c.cursor;
        host.selectionStart = c.selectionStart;
        host.selectionEnd = c.selectionEnd;

        SpotCommand command;
        command.set_file_path(path);
        command.set_name("Take");
        if (c.in)
            command.set_in_point(*c.in);
        if (c.out)
            command.set_out_point(*c.out);
        return handleSpotCommand(command);
    }
};

TEST_P(Spotting, PlacesOneItemAtTheCursor)
{
    const SpotCase& c = GetParam();
    const juce::Result outcome = spot(c);
    ASSERT_TRUE(outcome.wasOk()) << outcome.getErrorMessage();

    ASSERT_EQ(host.tracks[static_cast<size_t>(c.track)]->items.size(), 1u);
    for (size_t t = 0; t < host.tracks.size(); ++t)
    {
        if (static_cast<int>(t) != c.track)
        {
            EXPECT_TRUE(host.tracks[t]->items.empty());
        }
    }

    const FakeHost::Item& item = *host.tracks[static_cast<size_t>(c.track)]->items[0];
    EXPECT_EQ(item.position, c.cursor);
    EXPECT_EQ(item.length, c.length);
    EXPECT_EQ(item.loopSource, 0.0);
    ASSERT_EQ(item.takes.size(), 1u);
    EXPECT_EQ(item.takes[0]->name, "Take");
    EXPECT_EQ(item.takes[0]->startOffset, c.startOffset);
    ASSERT_NE(item.takes[0]->source, nullptr);
    EXPECT_EQ(item.takes[0]->source->path, "C:\\a.wav");
    EXPECT_EQ(host.editCursorMovedTo, c.cursor + c.length);
    EXPECT_EQ(host.commands, (std::vector<std::pair<int, int>>{{40047, 0}}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Spotting,
    testing::Values(
        SpotCase{"whole_source_on_selected_track"},
        SpotCase{
            "first_track_when_none_selected", Tracks::noneSelected, {}, {}, 0, 0, 0, 10, "", 0},
        SpotCase{"in_only_keeps_source_length",
                 Tracks::secondSelected,
                 1.5f,
                 {},
                 0,
                 0,
                 0,
                 10,
                 "",
                 1,
                 10.0,
                 1.5},
        SpotCase{
            "out_only_is_the_length", Tracks::secondSelected, {}, 4.0f, 0, 0, 0, 10, "", 1, 4.0},
        SpotCase{"in_and_out", Tracks::secondSelected, 2.0f, 5.0f, 30, 0, 0, 10, "", 1, 3.0, 2.0},
        SpotCase{"inside_selection_is_cut", Tracks::secondSelected, {}, {}, 10, 8, 12, 6, "", 1, 4},
        SpotCase{
            "at_selection_start_is_cut", Tracks::secondSelected, {}, {}, 8, 8, 12, 6, "", 1, 4},
        SpotCase{
            "at_selection_end_is_not_cut", Tracks::secondSelected, {}, {}, 12, 8, 12, 6, "", 1, 6},
        SpotCase{
            "before_selection_is_not_cut", Tracks::secondSelected, {}, {}, 5, 8, 12, 6, "", 1, 6},
        SpotCase{
            "exactly_selection_length", Tracks::secondSelected, {}, {}, 10, 8, 12, 4, "", 1, 4},
        SpotCase{"out_equals_in_gives_zero_length", Tracks::secondSelected, 2.0f, 2.0f, 7, 0, 0, 10,
                 "", 1, 0.0, 2.0},
        SpotCase{"out_before_in_is_passed_on", Tracks::secondSelected, 5.0f, 2.0f, 7, 0, 0, 10, "",
                 1, -3.0, 5.0},
        // floats are widened exactly: 0.1f is not 0.1
        SpotCase{"float_points_widened_exactly", Tracks::secondSelected, 0.1f, 0.7f, 0, 0, 0, 10,
                 "", 1, double(0.7f) - double(0.1f), double(0.1f)}),
    [](const auto& row) { return std::string(row.param.label); });

class SpotFailures : public Spotting
{
};

TEST_P(SpotFailures, FailWithTheirTextAndLeaveNoItem)
{
    const SpotCase& c = GetParam();
    if (std::string(c.label) == "no_media_item")
        host.addItemFails = true;
    if (std::string(c.label) == "no_take")
        host.addTakeFails = true;
    const juce::Result outcome =
        spot(c, std::string(c.label) == "missing_file" ? "C:\\missing.wav" : "C:\\a.wav");

    ASSERT_TRUE(outcome.failed());
    EXPECT_EQ(outcome.getErrorMessage(), juce::String(c.failure));
    EXPECT_FALSE(host.editCursorMovedTo.has_value());
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(host.attachedSourceCount(), 0);
    // Only a failure after the item was added leaves one, and it stays empty.
    size_t items = 0;
    for (auto& track : host.tracks)
        for (auto& item : track->items)
        {
            ++items;
            EXPECT_TRUE(item->takes.empty());
        }
    EXPECT_EQ(items, std::string(c.label) == "no_take" ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpotFailures,
    testing::Values(
        SpotCase{"no_track", Tracks::none, {}, {}, 0, 0, 0, 10, "No track"},
        SpotCase{"no_tracks_in_session",
                 Tracks::getTrackFails,
                 {},
                 {},
                 0,
                 0,
                 0,
                 10,
                 "No Tracks in session"},
        SpotCase{"missing_file",
                 Tracks::secondSelected,
                 {},
                 {},
                 0,
                 0,
                 0,
                 10,
                 "Unable to find source file:C:\\missing.wav"},
        SpotCase{"no_media_item", Tracks::secondSelected, {}, {}, 0, 0, 0, 10, "No media item"},
        SpotCase{"no_take", Tracks::secondSelected, {}, {}, 0, 0, 0, 10, "No take"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(Spotting, NoTrackCreatesNoSource)
{
    // A source made for a project without tracks could never be released by the extension.
    spot(SpotCase{"no_track", Tracks::none});
    EXPECT_TRUE(host.sources.empty());
    EXPECT_TRUE(host.tracks.empty());
}

TEST_F(Spotting, HostCallsInOrder)
{
    spot(SpotCase{"in_and_out", Tracks::secondSelected, 2.0f, 5.0f, 30});
    const std::vector<std::string> expected = {
        "GetSelectedTrack",        "PCM_Source_CreateFromFile",
        "AddMediaItemToTrack",     "AddTakeToMediaItem",
        "GetMediaSourceLength",    "SetMediaItemTakeInfo_Value",
        "GetSet_LoopTimeRange2",   "SetMediaItemInfo_Value",
        "GetSetMediaItemTakeInfo", "GetCursorPosition",
        "SetMediaItemLength",      "SetMediaItemPosition",
        "SetMediaItemTake_Source", "SetEditCurPos",
        "UpdateItemInProject",     "Main_OnCommand"};
    EXPECT_EQ(host.calls, expected);
}

TEST_F(Spotting, LogsTheTimeSelection)
{
    spot(SpotCase{"log", Tracks::secondSelected, {}, {}, 0, 1.5, 3.0});
    EXPECT_EQ(log.lines, juce::StringArray("Selection In:1.500000 Out:3.000000"));
}

TEST_F(Spotting, AbsentNameSetsTheEmptyName)
{
    host.addTrack(true);
    host.files[""] = 2.0;
    SpotCommand command;
    command.set_file_path("");
    ASSERT_TRUE(handleSpotCommand(command).wasOk());
    EXPECT_EQ(host.tracks[0]->items[0]->takes[0]->name, "");
    EXPECT_EQ(host.tracks[0]->items[0]->length, 2.0);
}

TEST_F(Spotting, NaNLengthIsLeftAloneByTheSelectionFit)
{
    const float nan = std::nanf("");
    spot(SpotCase{"nan", Tracks::secondSelected, {}, nan, 10, 8, 12});
    EXPECT_TRUE(std::isnan(host.tracks[1]->items[0]->length));
}

TEST_F(Spotting, MalformedUtf8PathIsPassedOnAndReportedSafely)
{
    // Found by fuzzing: JUCE's own conversion of an overlong form overran its buffer.
    host.addTrack(true);
    SpotCommand command;
    command.set_file_path("C:\\a\xC0\x80.wav");
    const juce::Result outcome = handleSpotCommand(command);
    EXPECT_EQ(outcome.getErrorMessage().toStdString(),
              "Unable to find source file:C:\\a\xEF\xBF\xBD\xEF\xBF\xBD.wav");
    EXPECT_EQ(host.calls[1], "PCM_Source_CreateFromFile");
}

TEST_F(Spotting, NonAsciiPathReachesTheHostAsTheSameBytes)
{
    host.addTrack(true);
    const std::string path = "C:\\Kl\xC3\xA4nge\\\xE6\xB3\xA2.wav";
    host.files[path] = 1.0;
    SpotCommand command;
    command.set_file_path(path);
    ASSERT_TRUE(handleSpotCommand(command).wasOk());
    EXPECT_EQ(host.tracks[0]->items[0]->takes[0]->source->path, path);

    command.set_file_path("C:\\fehlt\xC3\xA4.wav");
    EXPECT_EQ(handleSpotCommand(command).getErrorMessage().toStdString(),
              "Unable to find source file:C:\\fehlt\xC3\xA4.wav");
}
} // namespace

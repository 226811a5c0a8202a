#include "capturing_logger.h"
#include "handle_spot_command.h"
#include "host_api.h"
#include "host_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

class SpotFixture : public testing::Test
{
protected:
    HostModel& host = hostModel();
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
            GetTrack = [](ReaProject*, int) -> MediaTrack* { return nullptr; };
            break;
        }
        host.fileLengths["C:\\a.wav"] = c.sourceLength;
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

    size_t callsOf(const std::string& name) const
    {
        const auto names = host.callNames();
        return static_cast<size_t>(std::count(names.begin(), names.end(), name));
    }
};

class Spotting : public SpotFixture, public testing::WithParamInterface<SpotCase>
{
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

    const HostModel::Item& item = *host.tracks[static_cast<size_t>(c.track)]->items[0];
    EXPECT_EQ(item.position, c.cursor);
    EXPECT_EQ(item.length, c.length);
    EXPECT_FALSE(item.loopSource);
    ASSERT_EQ(item.takes.size(), 1u);
    EXPECT_EQ(item.takes[0]->name, "Take");
    EXPECT_EQ(item.takes[0]->startOffset, c.startOffset.value_or(0.0));
    EXPECT_EQ(callsOf("SetMediaItemTakeInfo_Value"), c.startOffset ? 1u : 0u);
    ASSERT_NE(item.takes[0]->source, nullptr);
    EXPECT_EQ(item.takes[0]->source->path, "C:\\a.wav");
    EXPECT_EQ(host.cursor, c.cursor + c.length);
    EXPECT_EQ(host.commands, (std::vector<std::pair<int, int>>{{40047, 0}}));
    ASSERT_EQ(host.undoPoints.size(), 1u);
    EXPECT_EQ(host.undoPoints[0].description, "Spot \"Take\"");
    EXPECT_EQ(host.undoPoints[0].flags, 4);
    EXPECT_EQ(host.undoPoints[0].items, 1);
    EXPECT_EQ(host.uiRefreshDepth, 0);
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

struct FailureCase
{
    const char* label;
    Tracks tracks;
    const char* path;
    void (*fault)(); // replaces the host functions that fail, if any
    const char* failure;
    size_t itemsLeft;      // a failure after the item was added leaves it, empty
    int sourcesDestroyed;  // a source created for nothing is released
    const char* undoPoint; // the description of the one undo point left, if any
};

std::ostream& operator<<(std::ostream& os, const FailureCase& c)
{
    return os << c.label;
}

class SpotFailures : public SpotFixture, public testing::WithParamInterface<FailureCase>
{
};

TEST_P(SpotFailures, FailWithTheirTextAndPlaceNothing)
{
    const FailureCase& c = GetParam();
    if (c.fault != nullptr)
        c.fault();
    const juce::Result outcome = spot(SpotCase{c.label, c.tracks, {}, {}, 5.0}, c.path);

    ASSERT_TRUE(outcome.failed());
    EXPECT_EQ(outcome.getErrorMessage(), juce::String(c.failure));
    EXPECT_EQ(host.cursor, 5.0);
    EXPECT_EQ(callsOf("SetEditCurPos"), 0u);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(host.unattachedSourceCount(), 0);
    EXPECT_EQ(host.destroyedSourceCount(), c.sourcesDestroyed);
    EXPECT_EQ(static_cast<int>(host.sources.size()), c.sourcesDestroyed) << "none attached";
    EXPECT_EQ(host.uiRefreshDepth, 0);
    ASSERT_EQ(host.undoPoints.size(), c.undoPoint != nullptr ? 1u : 0u);
    if (c.undoPoint != nullptr)
    {
        EXPECT_EQ(host.undoPoints[0].description, c.undoPoint);
        EXPECT_EQ(host.undoPoints[0].items, 1) << "undoing it removes the empty item";
    }
    size_t items = 0;
    for (auto& track : host.tracks)
        for (auto& item : track->items)
        {
            ++items;
            EXPECT_TRUE(item->takes.empty());
        }
    EXPECT_EQ(items, c.itemsLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpotFailures,
    testing::Values(FailureCase{"no_track", Tracks::none, "C:\\a.wav", nullptr, "No track", 0},
                    FailureCase{"no_tracks_in_session", Tracks::getTrackFails, "C:\\a.wav", nullptr,
                                "No Tracks in session", 0},
                    FailureCase{"missing_file", Tracks::secondSelected, "C:\\missing.wav", nullptr,
                                "Unable to find source file:C:\\missing.wav", 0},
                    FailureCase{"no_media_item", Tracks::secondSelected, "C:\\a.wav",
                                []
                                {
                                    AddMediaItemToTrack = [](MediaTrack*) -> MediaItem*
                                    { return nullptr; };
                                },
                                "No media item", 0, 1, nullptr},
                    FailureCase{"no_take", Tracks::secondSelected, "C:\\a.wav",
                                []
                                {
                                    AddTakeToMediaItem = [](MediaItem*) -> MediaItem_Take*
                                    { return nullptr; };
                                },
                                "No take", 1, 1, "Spot \"Take\""}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(Spotting, UndoPointIsNamedAfterTheFileWhenTheTakeHasNoName)
{
    host.addTrack(true);
    const std::string path = "C:\\Samples\\Kl\xC3\xA4nge\\door slam 04.wav";
    host.fileLengths[path] = 2.0;
    SpotCommand command;
    command.set_file_path(path);
    ASSERT_TRUE(handleSpotCommand(command).wasOk());
    ASSERT_EQ(host.undoPoints.size(), 1u);
    EXPECT_EQ(host.undoPoints[0].description, "Spot \"door slam 04.wav\"");
}

// A host without one of the optional functions gets the spot exactly as before, without that
// feature; the undo block needs both of its functions.
struct MissingCase
{
    const char* function;
    size_t undoPoints;   // by a spot that succeeds
    size_t refreshCalls; // likewise
    int sourcesLeftOpen; // by a spot that fails with "No take"
};

std::ostream& operator<<(std::ostream& os, const MissingCase& c)
{
    return os << c.function;
}

class WithoutOptionalFunction : public SpotFixture, public testing::WithParamInterface<MissingCase>
{
protected:
    void SetUp() override
    {
        for (const HostApiSlot* entry = hostApiOptionalTable; entry->slot != nullptr; ++entry)
            if (std::string(entry->name) == GetParam().function)
                std::memset(entry->slot, 0, sizeof(void*));
    }
};

TEST_P(WithoutOptionalFunction, SpotsAsBefore)
{
    const MissingCase& c = GetParam();
    ASSERT_TRUE(spot(SpotCase{"placed", Tracks::secondSelected, 2.0f, 5.0f, 30}).wasOk());
    ASSERT_EQ(host.tracks[1]->items.size(), 1u);
    EXPECT_EQ(host.tracks[1]->items[0]->length, 3.0);
    EXPECT_EQ(host.cursor, 33.0);
    EXPECT_EQ(host.undoPoints.size(), c.undoPoints);
    EXPECT_EQ(callsOf("PreventUIRefresh"), c.refreshCalls);
    EXPECT_EQ(host.uiRefreshDepth, 0);
    EXPECT_EQ(callsOf("Undo_BeginBlock2"), callsOf("Undo_EndBlock2"));

    AddTakeToMediaItem = [](MediaItem*) -> MediaItem_Take* { return nullptr; };
    EXPECT_EQ(handleSpotCommand(SpotCommand()).getErrorMessage(), "Unable to find source file:");
    host.fileLengths[""] = 1.0;
    EXPECT_EQ(handleSpotCommand(SpotCommand()).getErrorMessage(), "No take");
    EXPECT_EQ(host.unattachedSourceCount(), c.sourcesLeftOpen);
    EXPECT_EQ(host.uiRefreshDepth, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, WithoutOptionalFunction,
                         testing::Values(MissingCase{"Undo_BeginBlock2", 0, 2, 0},
                                         MissingCase{"Undo_EndBlock2", 0, 2, 0},
                                         MissingCase{"PreventUIRefresh", 1, 0, 0},
                                         MissingCase{"PCM_Source_Destroy", 1, 2, 1}),
                         [](const auto& row) { return std::string(row.param.function); });

TEST(SpotFailureCodes, EachFailureHasItsOwnStableNumber)
{
    EXPECT_EQ(spotFailureCode("Unable to find source file:C:\\x.wav"), 1);
    EXPECT_EQ(spotFailureCode("Unable to find source file:"), 1);
    EXPECT_EQ(spotFailureCode("No track"), 2);
    EXPECT_EQ(spotFailureCode("No Tracks in session"), 3);
    EXPECT_EQ(spotFailureCode("No media item"), 4);
    EXPECT_EQ(spotFailureCode("No take"), 5);
    EXPECT_EQ(spotFailureCode("No takes"), 0);
}

TEST_F(Spotting, NoTrackCreatesNoSource)
{
    // A source made for a project without tracks could never be released by the extension.
    spot(SpotCase{"no_track", Tracks::none});
    EXPECT_TRUE(host.sources.empty());
    EXPECT_TRUE(host.tracks.empty());
}

TEST_F(Spotting, HostCallsInOrderWithTheirArguments)
{
    spot(SpotCase{"in_and_out", Tracks::secondSelected, 2.0f, 5.0f, 30});
    const std::vector<std::string> expected = {
        "GetSelectedTrack(null, 0)",
        "PCM_Source_CreateFromFile(\"C:\\a.wav\")",
        "PreventUIRefresh(1)",
        "AddMediaItemToTrack(ptr)",
        "Undo_BeginBlock2(null)",
        "AddTakeToMediaItem(ptr)",
        "GetMediaSourceLength(ptr, ptr)",
        "SetMediaItemTakeInfo_Value(ptr, \"D_STARTOFFS\", 2)",
        "GetSet_LoopTimeRange2(null, false, false, ptr, ptr, false)",
        "SetMediaItemInfo_Value(ptr, \"B_LOOPSRC\", 0)",
        "GetSetMediaItemTakeInfo(ptr, \"P_NAME\", ptr)",
        "GetCursorPosition()",
        "SetMediaItemLength(ptr, 3, true)",
        "SetMediaItemPosition(ptr, 30, true)",
        "SetMediaItemTake_Source(ptr, ptr)",
        "SetEditCurPos(33, true, false)",
        "UpdateItemInProject(ptr)",
        "Undo_EndBlock2(null, \"Spot \"Take\"\", 4)",
        "PreventUIRefresh(-1)",
        "Main_OnCommand(40047, 0)"};
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
    host.fileLengths[""] = 2.0;
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
    EXPECT_EQ(host.callNames()[1], "PCM_Source_CreateFromFile");
}

TEST_F(Spotting, NonAsciiPathReachesTheHostAsTheSameBytes)
{
    host.addTrack(true);
    const std::string path = "C:\\Kl\xC3\xA4nge\\\xE6\xB3\xA2.wav";
    host.fileLengths[path] = 1.0;
    SpotCommand command;
    command.set_file_path(path);
    ASSERT_TRUE(handleSpotCommand(command).wasOk());
    EXPECT_EQ(host.tracks[0]->items[0]->takes[0]->source->path, path);

    command.set_file_path("C:\\fehlt\xC3\xA4.wav");
    EXPECT_EQ(handleSpotCommand(command).getErrorMessage().toStdString(),
              "Unable to find source file:C:\\fehlt\xC3\xA4.wav");
}
} // namespace

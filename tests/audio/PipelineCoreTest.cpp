#include "AudioTestDoubles.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <utility>

using namespace kestova;
using namespace kestova::testing;
using kestova::test::TScratchFolder;

namespace {

// A fake source feeding a test sink, with the sink's events logged.
struct TChain {
    TFakeSource source;
    TTestSink sink;
    TEventLog log{sink};

    explicit TChain(int blocks = -1) {
        source.Blocks = blocks;
        sink.SetInput(&source);
    }
};

}  // namespace

TEST(PipelineRun, RefusesASecondRunAndARunWithoutInput) {
    TTestSink sink;
    EXPECT_EQ(Raised([&] { sink.Run(); }), "Input is not assigned");
    EXPECT_EQ(sink.Status(), osIdle);
    EXPECT_EQ(sink.Prepares, 0);

    TFakeSource source;
    sink.SetInput(&source);
    TEventLog log(sink);
    sink.Run();
    EXPECT_EQ(Raised([&] { sink.Run(); }), "Component is buisy");
    EXPECT_EQ(sink.Prepares, 1);
    ASSERT_TRUE(WaitFor([&] { return source.Reads > 3; }));  // the first run goes on
    sink.Stop();
    ASSERT_TRUE(log.WaitEnds());
    EXPECT_EQ(log.Done(), 1);
}

TEST(PipelineRun, StopEndsWithOneOnDoneAfterTheFileIsClosed) {
    TScratchFolder folder("core");
    const std::string file = folder.File("stop.raw");
    TChain c;
    c.sink.FileName = file;
    c.sink.Stop();  // idle: forgotten, not the end of the next run
    TOutputStatus statusInDone = osRunning;
    std::uintmax_t sizeInDone = 0;
    const auto count = c.sink.OnDone;
    c.sink.OnDone = [&](TComponent* sender) {
        statusInDone = c.sink.Status();
        sizeInDone = std::filesystem::file_size(file);
        count(sender);
    };
    c.sink.Run();
    ASSERT_TRUE(WaitFor([&] { return c.source.Reads > 5; }));
    c.sink.Stop();
    ASSERT_TRUE(c.log.WaitEnds());
    EXPECT_EQ(statusInDone, osIdle);
    EXPECT_EQ(sizeInDone, static_cast<std::uintmax_t>(c.sink.Pulled));  // every byte is on disk
    EXPECT_EQ(c.source.Finishes, 1);
    c.sink.Run();  // a later run is accepted and reports once more
    c.sink.Stop();
    ASSERT_TRUE(c.log.WaitEnds(2));
    EXPECT_EQ(c.log.Done(), 2);
    EXPECT_EQ(c.log.Errors(), 0);
}

TEST(PipelinePause, PauseResumeAndStopWhilePaused) {
    TChain c;
    c.sink.Run();
    EXPECT_EQ(c.sink.Status(), osRunning);
    c.sink.Pause();
    EXPECT_EQ(c.sink.Status(), osPaused);
    c.sink.Resume();
    EXPECT_EQ(c.sink.Status(), osRunning);

    c.sink.Pause();
    c.sink.Stop();  // nothing happens until Resume
    EXPECT_EQ(c.sink.Status(), osPaused);
    EXPECT_EQ(c.log.Done(), 0);
    c.sink.Resume();
    ASSERT_TRUE(c.log.WaitEnds());
    EXPECT_EQ(c.log.Done(), 1);
    EXPECT_EQ(c.sink.Status(), osIdle);
}

TEST(PipelineProgress, UnknownSizeReportsOncePerRun) {
    TChain c(5);
    c.sink.Run();
    ASSERT_TRUE(c.log.WaitEnds());
    EXPECT_EQ(c.sink.Progress(), -1);
    EXPECT_EQ(c.log.Progress(), 1);
}

TEST(PipelineProgress, UnboundedCaptureReportsEveryBlock) {
    TChain c(10);
    c.source.AnnouncedSize = -88200;  // RecTime -1 at 88200 bytes a second
    c.sink.Run();
    ASSERT_TRUE(c.log.WaitEnds());
    EXPECT_EQ(c.log.Progress(), 10);  // the first check, at 0 bytes, equals the start value
    EXPECT_EQ(c.sink.Progress(), -186);
}

TEST(PipelineProgress, ProgressAndElapsedSecondsRoundHalvesToEven) {
    TTestSink sink;
    EXPECT_EQ(sink.Progress(), 0);
    EXPECT_EQ(sink.ElapsedSeconds(), 0);
    TFakeSource source;
    sink.SetInput(&source);
    source.Position = 132300;  // 1.5 s
    EXPECT_EQ(sink.ElapsedSeconds(), 2);
    source.Position = 220500;  // 2.5 s
    EXPECT_EQ(sink.ElapsedSeconds(), 2);
    source.Position = 308700;  // 3.5 s
    EXPECT_EQ(sink.ElapsedSeconds(), 4);
    source.Size = 200;
    source.Position = 1;  // 0.5 %
    EXPECT_EQ(sink.Progress(), 0);
    source.Position = 3;  // 1.5 %
    EXPECT_EQ(sink.Progress(), 2);
    source.Size = 0;
    EXPECT_EQ(sink.Progress(), 0);
    source.Size = -1;
    EXPECT_EQ(sink.Progress(), -1);
}

TEST(PipelineErrors, FailedPrepareReportsAndALaterRunIsAccepted) {
    TFakeSource source;
    source.Blocks = 1;
    bool failed = false;
    source.OnStart = [&] {
        if (!std::exchange(failed, true)) throw EACSException("no source");
    };
    TTestSink sink;
    sink.SetInput(&source);
    TEventLog log(sink);
    sink.Run();  // does not raise
    EXPECT_EQ(log.Errors(), 1);
    EXPECT_EQ(log.LastError(), "no source");
    EXPECT_EQ(log.Done(), 0);
    EXPECT_EQ(sink.Status(), osIdle);
    sink.Run();
    ASSERT_TRUE(log.WaitEnds(2));
    EXPECT_EQ(log.Done(), 1);
}

TEST(PipelineErrors, UncreatableFileNamesTheExpandedPath) {
    TChain c;
    c.sink.FileName = "no-such-folder-kestova/x.raw";
    c.sink.Run();
    ASSERT_EQ(c.log.Errors(), 1);
    const std::string message = c.log.LastError();
    EXPECT_EQ(message.rfind("Cannot create file \"", 0), 0u) << message;
    EXPECT_NE(message.find(std::filesystem::current_path().string()), std::string::npos) << message;
    EXPECT_EQ(c.source.Starts, 0);
}

class PipelineWorkerErrors : public ::testing::TestWithParam<int> {};

// Whatever a read raises, the run ends through OnThreadException with the output finished.
TEST_P(PipelineWorkerErrors, EndTheRunThroughOnThreadException) {
    TFakeSource source;
    source.BeforeRead = [](int read) {
        if (read < 2) return;
        switch (GetParam()) {
        case 0: throw EACSException("device gone");
        case 1: throw std::runtime_error("device gone");
        default: throw 42;
        }
    };
    TTestSink sink;
    sink.SetInput(&source);
    TEventLog log(sink);
    sink.Run();
    ASSERT_TRUE(log.WaitEnds());
    EXPECT_EQ(log.Errors(), 1);
    EXPECT_EQ(log.Done(), 0);
    EXPECT_EQ(log.LastError(), GetParam() < 2 ? "device gone" : "Unknown failure on the audio worker");
    EXPECT_EQ(sink.Finishes, 1);
    EXPECT_EQ(source.Finishes, 1);
    EXPECT_EQ(sink.Status(), osIdle);
}

INSTANTIATE_TEST_SUITE_P(FrameworkStdAndOther, PipelineWorkerErrors, ::testing::Values(0, 1, 2));

TEST(PipelineErrors, FailingFinishReportsInsteadOfOnDone) {
    TFakeSource source;
    source.Blocks = 1;
    TTestSink sink;
    sink.SetInput(&source);
    sink.OnFinish = [&] {
        if (sink.Finishes == 1) throw EACSException("disk full");
    };
    TEventLog log(sink);
    sink.Run();
    ASSERT_TRUE(log.WaitEnds());
    EXPECT_EQ(log.Done(), 0);
    EXPECT_EQ(log.LastError(), "disk full");
    EXPECT_EQ(sink.Finishes, 2);  // once more, quietly, from the error path
    EXPECT_EQ(sink.Status(), osIdle);
}

TEST(PipelineErrors, FailingErrorHandlerDoesNotKillTheWorker) {
    TFakeSource source;
    source.BeforeRead = [](int read) {
        if (read == 0) throw EACSException("first");
    };
    source.Blocks = 2;
    TTestSink sink;
    sink.SetInput(&source);
    std::atomic<int> errors{0};
    sink.OnThreadException = [&](TComponent*, const std::exception&) {
        ++errors;
        throw std::runtime_error("handler failed");
    };
    sink.Run();
    ASSERT_TRUE(WaitFor([&] { return errors == 1 && sink.Status() == osIdle; }));
    TEventLog log(sink);
    sink.Run();
    ASSERT_TRUE(log.WaitEnds());
    EXPECT_EQ(log.Done(), 1);
}

TEST(FileOut, AppendModeStaysRewrite) {
    TTestSink sink;
    sink.SetFileMode(foAppend);
    EXPECT_EQ(sink.FileMode(), foRewrite);
}

TEST(PipelineInput, SwapDuringARunStartsTheNewInputFirstAndFinishesTheOldAfter) {
    TFakeSource first, second;
    TTestSink sink;
    sink.SetInput(&first);
    TEventLog log(sink);
    sink.Run();
    ASSERT_TRUE(WaitFor([&] { return first.Reads > 2; }));
    sink.SetInput(&second);
    EXPECT_EQ(second.Starts, 1);
    EXPECT_EQ(first.Finishes, 1);
    ASSERT_TRUE(WaitFor([&] { return second.Reads > 2; }));
    const int readsOfFirst = first.Reads;
    sink.Stop();
    ASSERT_TRUE(log.WaitEnds());
    EXPECT_EQ(first.Reads, readsOfFirst);
    EXPECT_EQ(second.Finishes, 1);
}

TEST(PipelineInput, DestroyedInputIsLetGo) {
    TTestSink sink;
    TACSConverter converter;
    auto source = std::make_unique<TFakeSource>();
    sink.SetInput(source.get());
    converter.SetInput(source.get());
    source.reset();
    EXPECT_EQ(sink.Input(), nullptr);
    EXPECT_EQ(converter.Input(), nullptr);
}

TEST(PipelineLifetime, DestroyingARunningOrPausedSinkFinishesItQuietly) {
    for (const bool paused : {false, true}) {
        TFakeSource source;
        auto sink = std::make_unique<TTestSink>();
        sink->SetInput(&source);
        TEventLog log(*sink);
        sink->Run();
        ASSERT_TRUE(WaitFor([&] { return source.Reads > 2; }));
        if (paused) sink->Pause();
        sink.reset();
        EXPECT_EQ(source.Finishes, 1);
        EXPECT_EQ(log.Done(), 0);
    }
}

TEST(PipelineLifetime, WorkerThatDoesNotSuspendWhenIdleServesTheNextRun) {
    TFakeSource source;
    source.Blocks = 2;
    TTestSink sink;
    sink.SetSuspendWhenIdle(false);
    sink.SetInput(&source);
    TEventLog log(sink);
    sink.Run();
    ASSERT_TRUE(log.WaitEnds());
    source.Reads = 0;
    sink.Run();
    ASSERT_TRUE(log.WaitEnds(2));
    EXPECT_EQ(log.Done(), 2);
}

TEST(Converter, PassesTheStreamThroughAndCopiesPositionAndSize) {
    TFakeSource source;
    source.AnnouncedSize = 5000;
    TACSConverter converter;
    char buffer[1000];
    converter.SetInput(&source);
    try {
        converter.ReadData(buffer, sizeof buffer);
        FAIL() << "a read before StartInput must be refused";
    } catch (const EACSException& e) {
        EXPECT_STREQ(e.what(), "The Stream is not opened");
    }
    converter.StartInput();
    EXPECT_EQ(converter.Size, 5000);
    EXPECT_EQ(converter.ReadData(buffer, sizeof buffer), 1000);
    EXPECT_EQ(converter.Position, 1000);
    EXPECT_EQ(converter.GetSampleRate(), 22050);
    converter.SetInput(&converter);  // ignored
    EXPECT_EQ(converter.Input(), &source);
    converter.FinishInput();
    EXPECT_FALSE(converter.Busy);
    EXPECT_EQ(source.Finishes, 1);
}

TEST(Converter, RunThroughAChainRecoversFromAFailedRead) {
    TFakeSource source;
    source.Blocks = 4;
    source.BeforeRead = [](int read) {
        if (read == 1) throw EACSException("glitch");
    };
    TACSConverter near, far;
    far.SetInput(&source);
    near.SetInput(&far);
    TTestSink sink;
    sink.SetInput(&near);
    TEventLog log(sink);
    sink.Run();
    ASSERT_TRUE(log.WaitEnds());
    EXPECT_EQ(log.Errors(), 1);
    sink.Run();  // no lock left set anywhere in the chain
    ASSERT_TRUE(log.WaitEnds(2));
    EXPECT_EQ(log.Done(), 1);
    EXPECT_FALSE(near.Busy);
    EXPECT_FALSE(far.Busy);
}

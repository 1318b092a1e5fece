// Tests of searching in a worker process: the same result as searching here, a cancel that
// ends an engine call that would run for hours, and a worker that dies.
#include "match/search_worker.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "describe_results.h"
#include "match/match_run.h"
#include "support/endless_search.h"

namespace lintaro {
namespace {

// No child of this process is left, running or unreaped.
bool NoChildLeft() {
    return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

// Anchors of the preset pattern and words, several megabytes: split among threads, and many
// messages of matches.
std::string Corpus() {
    std::string text;
    for (int i = 0; text.size() < (std::size_t{5} << 20); ++i) {
        text += i % 3 == 0 ? "<a href=\"/rel\">r</a>\n" : "<A HREF=\"https://h";
        text += std::to_string(i % 1000) + ".cn/p\">t " + std::to_string(i) + "</a> words ";
    }
    return text;
}

struct SameCase {
    const char* pattern;
    std::string text;
    SearchOptions options;
};

TEST(SearchWorkerTest, GivesTheResultOfSearchingHere) {
    const std::string corpus = Corpus();
    const SameCase cases[] = {
        {kPresetPattern, corpus, {}},
        {kPresetPattern, corpus, {.parts = 7, .threads = 3}},
        {"\\w+", corpus, {}},
        {"(a)|(b)|(c)", "abcabc x abc", {.parts = 3, .threads = 2}},
        {"a*", "aab", {}},
        {"x|(a+)+$", "x x " + std::string(30, 'a') + "b x", {}},  // the engine gives up
        {"nothing", corpus, {}},
        {"a", "", {}},
    };
    for (const SameCase& c : cases) {
        regex expression;
        ASSERT_TRUE(expression.Compile(c.pattern, false)) << c.pattern;
        WorkProgress progress;
        const SearchResults here = expression.SearchAll(c.text, c.options);
        const SearchResults worker = SearchInWorker(expression, c.text, c.options, progress);
        EXPECT_EQ(Describe(worker), Describe(here)) << c.pattern;
        EXPECT_EQ(progress.Done(), static_cast<std::int64_t>(c.text.size())) << c.pattern;
        EXPECT_TRUE(NoChildLeft());
    }
}

// Waits until done() holds, or a minute has passed. Returns whether it holds.
bool WaitUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Starts watch on a thread of its own and returns once it runs, before the test's search
// forks. A thread that is still starting allocates, and the sanitizer build's allocator is not
// guarded against a fork meanwhile: the search's child could get it locked, and its own threads
// would wait for it for ever. watch must not allocate until the child has sent its matches.
std::jthread StartedThread(const std::function<void()>& watch) {
    auto running = std::make_shared<std::atomic<bool>>(false);
    std::jthread thread([running, watch] {
        running->store(true);
        watch();
    });
    while (!running->load()) std::this_thread::yield();
    return thread;
}

TEST(SearchWorkerTest, CancelEndsAnEngineCallAndKeepsTheMatchesBeforeIt) {
    regex expression;
    ASSERT_TRUE(expression.Compile(testing::EndlessSearchPattern(), true));
    const std::string text = testing::EndlessSearchText();
    WorkProgress progress;
    const std::jthread canceller = StartedThread([&] {
        // Once the two matches before the trap have arrived, the engine is inside the trap.
        EXPECT_TRUE(WaitUntil([&] { return progress.Found() >= 2; }));
        progress.RequestCancel();
    });
    const SearchResults results = SearchInWorker(expression, text, {}, progress);
    EXPECT_EQ(Describe(results), "0,1 -|2,1 -|cancelled");
    EXPECT_TRUE(NoChildLeft());
}

TEST(SearchWorkerTest, AlreadyCancelledSearchesNothing) {
    regex expression;
    ASSERT_TRUE(expression.Compile("a", true));
    WorkProgress progress;
    progress.RequestCancel();
    EXPECT_EQ(Describe(SearchInWorker(expression, "aaa", {}, progress)), "cancelled");
}

// The children of this process's threads, from /proc.
std::string ChildrenOfThisProcess() {
    std::string children;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream file(task.path() / "children");
        std::string line;
        std::getline(file, line);
        children += line;
    }
    return children;
}

TEST(SearchWorkerTest, WorkerThatDiesIsAnEngineThatGaveUp) {
    regex expression;
    ASSERT_TRUE(expression.Compile(testing::EndlessSearchPattern(), true));
    const std::string text = testing::EndlessSearchText();
    WorkProgress progress;
    const std::jthread killer = StartedThread([&] {
        // The two matches before the trap have arrived, so the worker is inside it. An abort,
        // as an uncaught failure gives; a segmentation fault would be caught by
        // AddressSanitizer in the sanitizer build and turned into an exit. The children are
        // looked up only then, since reading them allocates (see StartedThread).
        std::string children;
        const bool inside = WaitUntil([&] { return progress.Found() >= 2; }) && WaitUntil([&] {
                                children = ChildrenOfThisProcess();
                                return !children.empty();
                            });
        EXPECT_TRUE(inside);
        if (!inside) {
            progress.RequestCancel();  // do not hang
            return;
        }
        ::kill(std::stoi(children), SIGABRT);
    });
    const SearchResults results = SearchInWorker(expression, text, {}, progress);
    EXPECT_EQ(Describe(results),
              "0,1 -|2,1 -|gave up: the search process was ended by signal 6 (Aborted)");
    EXPECT_TRUE(NoChildLeft());
}

}  // namespace
}  // namespace lintaro

// The record in localStorage: the score file's bytes as base64 under the
// file's name, read, cut and rewritten by the same rules as the file; the
// bytes expected are the product's own (scoreRecBytes, writtenAtStart).
#include <emscripten/emscripten.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_platform.h"
#include "highscore/high_score_store.h"
#include "highscore/score_file.h"
#include "platform/cp932_codec.h"
#include "platform/web/web_files.h"

namespace poroten::testing {
namespace {

using namespace std::string_literals;

// clang-format off
EM_JS(char*, js_stored, (const char* key), {
    var v = localStorage.getItem(UTF8ToString(key));
    if (v === null) return 0;
    var size = lengthBytesUTF8(v) + 1;
    var p = _malloc(size);
    stringToUTF8(v, p, size);
    return p;
});
// The entry as base64 would hold these bytes.
EM_JS(char*, js_base64, (const char* bytes, int size), {
    var text = btoa(String.fromCharCode.apply(null, HEAPU8.subarray(bytes, bytes + size)));
    var p = _malloc(text.length + 1);
    stringToUTF8(text, p, text.length + 1);
    return p;
});
EM_JS(void, store, (const char* key, const char* value), {
    localStorage.setItem(UTF8ToString(key), UTF8ToString(value));
});
EM_JS(void, unset, (const char* key), { localStorage.removeItem(UTF8ToString(key)); });
EM_JS(void, store_bytes, (const char* key, int count, int fill), {
    localStorage.setItem(UTF8ToString(key), btoa(String.fromCharCode(fill).repeat(count)));
});
// A reason with half a surrogate pair in it, as a browser's message may hold.
EM_JS(void, store_lone_surrogate_reason, (), {
    localStorage.setItem("!reason", "x" + String.fromCharCode(0xD800) + "y");
});
EM_JS(int, lock_requests, (), { return fakeLocks.requests.length; });
EM_JS(char*, lock_request, (int n), {
    var r = fakeLocks.requests[n];
    var text = r.name + (r.timed ? ' timed' : ' untimed');
    var size = lengthBytesUTF8(text) + 1;
    var p = _malloc(size);
    stringToUTF8(text, p, size);
    return p;
});
EM_JS(int, grant_locks, (), { return fakeLocks.grant(); });
EM_JS(int, abort_locks, (), { return fakeLocks.abort(); });
EM_JS(void, forget_locks, (), { fakeLocks.requests = []; fakeLocks.pending = []; });
// clang-format on

const std::string kFile = highscore::kScoreFileName;
const std::string kPath = "localStorage/" + kFile;

std::string stored(const std::string& key = kFile) {
    char* value = js_stored(key.c_str());
    std::string out = value ? value : "<missing>";
    std::free(value);
    return out;
}

std::string base64(const std::string& bytes) {
    char* text = js_base64(bytes.data(), static_cast<int>(bytes.size()));
    std::string out = text;
    std::free(text);
    return out;
}

// A valid record's bytes, as the product writes them.
std::string record(std::int16_t score, std::string_view name) {
    const platform::Cp932Codec codec;
    return highscore::scoreRecBytes({.Score = score,
                                     .Name = highscore::encodeName(codec, name),
                                     .Marker = highscore::kValidMarker});
}

class WebRecord : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::string& key :
             {kFile, "!blocked"s, "!quota"s, "!reason"s, "!nolocks"s, "!lockheld"s}) {
            unset(key.c_str());
        }
        forget_locks();
    }
    highscore::Module1 load() {
        highscore::Module1 record(files, codec, boxes);
        record.LoadHighScore();
        return record;
    }

    platform::web::WebFiles files;
    platform::Cp932Codec codec;
    FakeMessageBoxes boxes;
};

TEST_F(WebRecord, KeptAsBase64OfTheFileBytesWithTheOldTailAndReadBackAfterAReload) {
    // A first start finds nothing and leaves an empty record.
    highscore::Module1 first = load();
    EXPECT_EQ(first.HighScore, 0);
    EXPECT_EQ(stored(), "");

    first.HighScore = 12;
    first.HighName = "髙橋";
    first.SaveHighScore();
    EXPECT_EQ(stored(), base64(record(12, "髙橋")));

    // A shorter name: the entry keeps its length, the old tail stays behind.
    first.HighScore = 13;
    first.HighName = "A";
    first.SaveHighScore();
    EXPECT_EQ(stored(), base64(highscore::writtenAtStart(record(12, "髙橋"), record(13, "A"))));

    highscore::Module1 again = load();
    EXPECT_EQ(again.HighScore, 13);
    EXPECT_EQ(again.HighName, "A");
    EXPECT_TRUE(boxes.shown.empty());

    // Damaged entries give no record and no crash: not base64, cut short,
    // a name length one past the name.
    std::string longer = record(12, "髙橋");
    ++longer[2];
    for (const std::string& damaged :
         {"not base64!"s, base64(record(12, "髙橋").substr(0, 1)), base64(longer)}) {
        store(kFile.c_str(), damaged.c_str());
        highscore::Module1 entry = load();
        EXPECT_EQ(entry.HighScore, 0) << damaged;
        EXPECT_EQ(entry.HighName, "") << damaged;
    }
}

TEST_F(WebRecord, BlockedOrFullStorageIsReportedAndTheRecordStaysInMemory) {
    const std::string held = base64(record(12, "髙橋"));
    store(kFile.c_str(), held.c_str());
    store("!quota", "1");
    highscore::Module1 full = load();
    EXPECT_EQ(full.HighScore, 12);  // reading still works
    full.HighScore = 20;
    full.HighName = "Bo";
    full.SaveHighScore();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, std::string(highscore::kSaveFailed) + "\r" + kPath +
                                       "\rQuotaExceededError: The quota has been exceeded.");
    EXPECT_EQ(stored(), held);
    EXPECT_EQ(full.HighScore, 20);

    unset("!quota");
    store("!blocked", "1");
    highscore::Module1 blocked = load();
    EXPECT_EQ(blocked.HighScore, 0);
    blocked.HighScore = 3;
    blocked.SaveHighScore();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[1].text.find("SecurityError"), std::string::npos) << boxes.shown[1].text;
    EXPECT_EQ(blocked.HighScore, 3);

    // Half a surrogate pair in the browser's reason is replaced, and the
    // character after it kept, whether reading or saving failed.
    unset("!blocked");
    store_lone_surrogate_reason();
    store("!blocked", "1");
    const std::string reason = "SecurityError: x\uFFFDy";
    EXPECT_EQ(files.readOrCreate(kPath, 100).error, reason);
    blocked.SaveHighScore();
    ASSERT_EQ(boxes.shown.size(), 3u);
    const std::string& text = boxes.shown[2].text;
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), reason.size())), reason) << text;
}

TEST_F(WebRecord, ReadsNoFurtherThanAsked) {
    store_bytes(kFile.c_str(), 100000, 'Z');
    const platform::ReadResult read = files.readOrCreate(kPath, highscore::kLongestRecord);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.bytes, std::string(highscore::kLongestRecord, 'Z'));
}

constexpr platform::LockWait kMayWait{std::chrono::seconds(2), true};

std::string request(int n) {
    char* text = lock_request(n);
    std::string out = text;
    std::free(text);
    return out;
}

// Each tab's re-read and save run under the site's lock for the record; a
// lock that is not had runs them anyway, and each runs exactly once.
TEST_F(WebRecord, TheRecordsLockIsSharedByTheTabsAndEachSectionRunsOnce) {
    int runs = 0;
    // What follows a section runs once it is over and the lock let go: each
    // time, the sections that ran so far.
    std::vector<int> afterwards;
    const auto after = [&] { afterwards.push_back(runs); };
    files.whileLocked(kPath, kMayWait, [&] { ++runs; }, after);
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(lock_requests(), 1);
    EXPECT_EQ(request(0), "poroten:" + kFile + " timed");

    // Another tab holds it: nothing runs until it is granted, then once.
    store("!lockheld", "1");
    files.whileLocked(kPath, kMayWait, [&] { ++runs; }, after);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(afterwards, std::vector<int>{1});
    EXPECT_EQ(grant_locks(), 1);
    EXPECT_EQ(runs, 2);

    // Not granted within the time: the aborted request runs it directly.
    files.whileLocked(kPath, kMayWait, [&] { ++runs; }, after);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(abort_locks(), 1);
    EXPECT_EQ(runs, 3);

    // A browser without locks runs it at once.
    unset("!lockheld");
    store("!nolocks", "1");
    files.whileLocked(kPath, kMayWait, [&] { ++runs; }, after);
    EXPECT_EQ(runs, 4);
    EXPECT_EQ(lock_requests(), 3);
    EXPECT_EQ(afterwards, (std::vector<int>{1, 2, 3, 4}));
}

// A tab loaded before another tab saved Bob, 12 finishes with 1: no name is
// asked, the stored record stays and the tab now shows Bob's.
TEST_F(WebRecord, ATabThatLoadedEarlierKeepsTheOtherTabsBetterRecord) {
    highscore::Module1 tabA = load();
    highscore::Module1 tabB = load();
    tabB.HighScore = 12;
    tabB.HighName = "Bob";
    tabB.SaveHighScore();
    const std::string bob = stored();

    bool asked = false;
    tabA.CheckNewRecord(1, [&] { asked = true; });
    EXPECT_FALSE(asked);
    EXPECT_EQ(tabA.HighScore, 12);
    EXPECT_EQ(tabA.HighName, "Bob");
    EXPECT_EQ(stored(), bob);
    EXPECT_EQ(lock_requests(), 1);
}

}  // namespace
}  // namespace poroten::testing

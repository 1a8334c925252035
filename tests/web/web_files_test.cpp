// The record in localStorage: the score file's bytes as base64 under
// "m_score.sav", read, cut and rewritten by the same rules as the file.
#include <emscripten/emscripten.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "fakes/fake_platform.h"
#include "highscore/high_score_store.h"
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

std::string stored(const char* key) {
    char* value = js_stored(key);
    std::string out = value ? value : "<missing>";
    std::free(value);
    return out;
}

class WebRecord : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* key :
             {"m_score.sav", "!blocked", "!quota", "!reason", "!nolocks", "!lockheld"}) {
            unset(key);
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
    EXPECT_EQ(stored("m_score.sav"), "");

    first.HighScore = 12;
    first.HighName = "髙橋";
    first.SaveHighScore();
    // 0C 00 | 04 00 | FB FC 8B B4 | 02 00
    EXPECT_EQ(stored("m_score.sav"), "DAAEAPv8i7QCAA==");

    // A shorter name: the file keeps its length, the old tail stays behind.
    first.HighScore = 13;
    first.HighName = "A";
    first.SaveHighScore();
    // 0D 00 | 01 00 | 41 | 02 00 | B4 02 00
    EXPECT_EQ(stored("m_score.sav"), "DQABAEECALQCAA==");

    highscore::Module1 again = load();
    EXPECT_EQ(again.HighScore, 13);
    EXPECT_EQ(again.HighName, "A");
    EXPECT_TRUE(boxes.shown.empty());

    // Damaged entries give no record and no crash.
    for (const char* damaged : {"not base64!", "AQ==", "DAAFAPv8i7QCAA=="}) {
        store("m_score.sav", damaged);
        highscore::Module1 record = load();
        EXPECT_EQ(record.HighScore, 0) << damaged;
        EXPECT_EQ(record.HighName, "") << damaged;
    }
}

TEST_F(WebRecord, BlockedOrFullStorageIsReportedAndTheRecordStaysInMemory) {
    store("m_score.sav", "DAAEAPv8i7QCAA==");
    store("!quota", "1");
    highscore::Module1 full = load();
    EXPECT_EQ(full.HighScore, 12);  // reading still works
    full.HighScore = 20;
    full.HighName = "Bo";
    full.SaveHighScore();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              std::string(highscore::kSaveFailed) +
                  "\rlocalStorage/m_score.sav\rQuotaExceededError: The quota has been exceeded.");
    EXPECT_EQ(stored("m_score.sav"), "DAAEAPv8i7QCAA==");
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
    EXPECT_EQ(files.readOrCreate("localStorage/m_score.sav", 100).error, reason);
    blocked.SaveHighScore();
    ASSERT_EQ(boxes.shown.size(), 3u);
    const std::string& text = boxes.shown[2].text;
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), reason.size())), reason) << text;
}

TEST_F(WebRecord, ReadsNoFurtherThanAsked) {
    store_bytes("m_score.sav", 100000, 'Z');
    const platform::ReadResult read = files.readOrCreate("localStorage/m_score.sav", 65541);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.bytes, std::string(65541, 'Z'));
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
    files.whileLocked("localStorage/m_score.sav", kMayWait, [&] { ++runs; });
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(lock_requests(), 1);
    EXPECT_EQ(request(0), "poroten:m_score.sav timed");

    // Another tab holds it: nothing runs until it is granted, then once.
    store("!lockheld", "1");
    files.whileLocked("localStorage/m_score.sav", kMayWait, [&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(grant_locks(), 1);
    EXPECT_EQ(runs, 2);

    // Not granted within the time: the aborted request runs it directly.
    int late = 0;
    files.whileLocked("localStorage/m_score.sav", kMayWait, [&] { ++late; });
    EXPECT_EQ(late, 0);
    EXPECT_EQ(abort_locks(), 1);
    EXPECT_EQ(late, 1);

    // A browser without locks runs it at once.
    unset("!lockheld");
    store("!nolocks", "1");
    files.whileLocked("localStorage/m_score.sav", kMayWait, [&] { ++late; });
    EXPECT_EQ(late, 2);
    EXPECT_EQ(lock_requests(), 3);
}

// A tab loaded before another tab saved Bob, 12 finishes with 1: no name is
// asked, the stored record stays and the tab now shows Bob's.
TEST_F(WebRecord, ATabThatLoadedEarlierKeepsTheOtherTabsBetterRecord) {
    highscore::Module1 tabA = load();
    highscore::Module1 tabB = load();
    tabB.HighScore = 12;
    tabB.HighName = "Bob";
    tabB.SaveHighScore();
    const std::string bob = stored("m_score.sav");

    bool asked = false;
    tabA.CheckNewRecord(1, [&] { asked = true; });
    EXPECT_FALSE(asked);
    EXPECT_EQ(tabA.HighScore, 12);
    EXPECT_EQ(tabA.HighName, "Bob");
    EXPECT_EQ(stored("m_score.sav"), bob);
    EXPECT_EQ(lock_requests(), 1);
}

}  // namespace
}  // namespace poroten::testing

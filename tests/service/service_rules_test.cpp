#include "service/favorite_rules.h"
#include "service/start_setter.h"

#include "platform/authority.h"
#include "platform/fake/fake_machine.h"
#include "service/korvaned_service.h"

#include <gtest/gtest.h>

namespace korvane::service {
namespace {

using Favorites = std::vector<std::pair<std::string, std::string>>;

const Caller kAlice{":1.10", 1000};
const Caller kBob{":1.20", 1001};

TEST(FavoriteRules, ACallersFavoritesApplyToItsOwnUsersProcessesWhileAutoSetIsOn)
{
    FavoriteRules rules(15);
    ASSERT_FALSE(rules.SetFavorites(kAlice, {{"Game.exe", "1"}, {"Encoder", "4-7"}}, true));
    EXPECT_EQ(rules.CpusFor(1000, "Game.exe"), core::CpuSet::FromMask(2));
    EXPECT_EQ(rules.CpusFor(1000, "Encoder"), core::CpuSet::Range(4, 7));
    EXPECT_FALSE(rules.CpusFor(1001, "Game.exe")); // Bob's game is Bob's
    EXPECT_FALSE(rules.CpusFor(1000, "game.exe")); // names match as rows do
    EXPECT_TRUE(rules.AppliesTo(1000));
    EXPECT_FALSE(rules.AppliesTo(1001));

    ASSERT_FALSE(rules.SetFavorites(kAlice, {{"Game.exe", "1"}}, false));
    EXPECT_FALSE(rules.CpusFor(1000, "Game.exe"));
    EXPECT_FALSE(rules.AppliesTo(1000));

    // Every user: Bob's processes too, after Bob's own favorites.
    ASSERT_FALSE(rules.SetFavorites(kAlice, {{"Game.exe", "1"}, {"Tool", "2"}}, true));
    ASSERT_FALSE(rules.SetFavorites(kBob, {{"Tool", "3"}}, true));
    rules.SetEveryUser(kAlice, true);
    EXPECT_EQ(rules.CpusFor(1001, "Game.exe"), core::CpuSet::FromMask(2));
    EXPECT_EQ(rules.CpusFor(1001, "Tool"), core::CpuSet::FromMask(8));
    EXPECT_EQ(rules.CpusFor(1000, "Tool"), core::CpuSet::FromMask(4));
    // A new list keeps the right to every user; the caller that leaves takes everything along.
    ASSERT_FALSE(rules.SetFavorites(kAlice, {{"Game.exe", "0"}}, true));
    EXPECT_EQ(rules.CpusFor(1001, "Game.exe"), core::CpuSet::FromMask(1));
    rules.Forget(kAlice.busName);
    EXPECT_FALSE(rules.CpusFor(1001, "Game.exe"));
    EXPECT_FALSE(rules.CpusFor(1000, "Game.exe"));
    EXPECT_EQ(rules.CallerCount(), 1U);
}

TEST(FavoriteRules, BadInputIsRefusedWithAReasonAndChangesNothing)
{
    FavoriteRules rules(15);
    ASSERT_FALSE(rules.SetFavorites(kAlice, {{"Game.exe", "1"}}, true));
    const std::vector<Favorites> bad = {
        {{"Game.exe", "16"}},         // a CPU this machine does not have
        {{"Game.exe", "5-3"}},        // no list
        {{"Game.exe", ""}},           // nothing
        {{"", "1"}},                  // no name
        {{"Two\nLines", "1"}},        // a name no row shows
        {{"evil\u202Eexe.hsab", "1"}}, // a name that would read as another
        {{" Padded", "1"}},
        {{std::string(300, 'n'), "1"}},
        Favorites(kMostFavorites + 1, {"Many", "1"}),
    };
    for (const Favorites& favorites : bad) {
        const auto refusal = rules.SetFavorites(kAlice, favorites, true);
        ASSERT_TRUE(refusal.has_value()) << favorites.front().first;
        EXPECT_FALSE(refusal->message.empty());
        EXPECT_EQ(rules.CpusFor(1000, "Game.exe"), core::CpuSet::FromMask(2));
    }
    EXPECT_FALSE(rules.SetFavorites(kAlice, Favorites(kMostFavorites, {"Many", "1"}), true));

    // A user's programs are limited in number; another user's are not held back by them.
    for (std::size_t i = 1; i < kMostCallersPerUser; ++i)
        ASSERT_FALSE(rules.SetFavorites({":2." + std::to_string(i), 1000}, {}, true));
    EXPECT_EQ(rules.SetFavorites({":3.0", 1000}, {}, true)->error, "LimitsExceeded");
    EXPECT_FALSE(rules.SetFavorites(kBob, {}, true));
}

TEST(FavoriteRules, RowNamesAreTheWindowsOwn)
{
    EXPECT_EQ(RowNameOf("/usr/bin/firefox-esr"), "Firefox-esr");
    EXPECT_EQ(RowNameOf("C:/Games/my game.exe"), "My Game.exe");
    EXPECT_EQ(RowNameOf("/opt/evil\u202Eexe.hsab"), "Evil?exe.hsab");
    EXPECT_EQ(RowNameOf("/opt/" + std::string(40, 'a')).size(), 34U);
}

struct SetterFixture : ::testing::Test {
    platform::fake::FakeMachine machine{8};
    FavoriteRules rules{7};
    StartSetter setter{machine, rules, 7};
};

TEST_F(SetterFixture, AFavoriteIsSetAtTheStartForItsOwnUserOnly)
{
    ASSERT_FALSE(rules.SetFavorites(kAlice, {{"Game.exe", "1"}}, true));
    const auto alices = machine.Start("/opt/Game.exe", 3);
    const auto bobs = machine.Start("/opt/Game.exe");
    machine.SetOwner(bobs, 1001);
    EXPECT_TRUE(setter.ProgramStarted({alices, machine.ProcessStartTime(alices)}));
    EXPECT_FALSE(setter.ProgramStarted({bobs, machine.ProcessStartTime(bobs)}));
    EXPECT_EQ(machine.ThreadMasks(alices), (std::vector<std::uint32_t>{2, 2, 2}));
    EXPECT_EQ(machine.ThreadMasks(bobs), std::vector<std::uint32_t>{255});
    // Set already: nothing to do again.
    EXPECT_FALSE(setter.ProgramStarted({alices, 0}));
    EXPECT_EQ(setter.StartsSet(), 1);

    // An id that went to a later process, even the same program, is left alone.
    const auto early = machine.Start("/opt/Game.exe");
    const std::uint64_t execTime = machine.ProcessStartTime(early);
    machine.End(early);
    machine.StartWithId(early, "/opt/Game.exe");
    EXPECT_FALSE(setter.ProgramStarted({early, execTime}));
    EXPECT_EQ(machine.ThreadMasks(early), std::vector<std::uint32_t>{255});

    // Once over the running processes: this user's, or with every user on, everyone's.
    EXPECT_EQ(setter.ApplyToRunning(1000), 1);
    EXPECT_EQ(machine.ThreadMasks(bobs), std::vector<std::uint32_t>{255});
    rules.SetEveryUser(kAlice, true);
    EXPECT_EQ(setter.ApplyToRunning(std::nullopt), 1);
    EXPECT_EQ(machine.ThreadMasks(bobs), std::vector<std::uint32_t>{2});
}

TEST_F(SetterFixture, ASetRequestIsCheckedForTheProcessItsTimeAndItsCpus)
{
    const auto game = machine.Start("/opt/Game.exe");
    const std::uint64_t started = machine.ProcessStartTime(game);
    const auto refusal = [this](std::int32_t id, std::uint64_t time, const std::string& cpus) {
        const auto checked = setter.CheckSetAffinity(id, time, cpus);
        return std::holds_alternative<Refusal>(checked) ? std::get<Refusal>(checked).error : std::string("ok");
    };
    EXPECT_EQ(refusal(1, 1, "0"), "InvalidArgs");
    EXPECT_EQ(refusal(0, 0, "0"), "InvalidArgs");
    EXPECT_EQ(refusal(-5, 0, "0"), "InvalidArgs");
    EXPECT_EQ(refusal(game, started, "8"), "InvalidArgs");
    EXPECT_EQ(refusal(game, started, "0,,1"), "InvalidArgs");
    EXPECT_EQ(refusal(game, started + 1, "0"), "NoSuchProcess");
    EXPECT_EQ(refusal(99999, 1, "0"), "NoSuchProcess");
    const auto kernelThread = machine.Start("");
    machine.HidePath(kernelThread);
    EXPECT_EQ(refusal(kernelThread, machine.ProcessStartTime(kernelThread), "0"), "InvalidArgs");

    machine.SetOwner(game, 1001);
    const auto checked = setter.CheckSetAffinity(game, started, "4-7");
    ASSERT_TRUE(std::holds_alternative<StartSetter::Target>(checked));
    const StartSetter::Target target = std::get<StartSetter::Target>(checked);
    EXPECT_EQ(target.owner, 1001U);
    EXPECT_FALSE(setter.SetAffinity(target));
    EXPECT_EQ(machine.ThreadMasks(game), std::vector<std::uint32_t>{0xF0});

    // The process ended while the right was asked for: its id is not set for a later one.
    machine.End(game);
    machine.StartWithId(game, "/opt/Game.exe");
    EXPECT_EQ(setter.SetAffinity(target)->error, "NoSuchProcess");
}

// An authority that answers when the test says so.
class HeldAuthority : public platform::Authority {
public:
    void CheckAuthorization(const std::string& busName, const std::string& action, bool interactive,
                            std::function<void(bool)> done) override
    {
        asked.push_back(busName + " " + action + (interactive ? " interactive" : ""));
        m_waiting.push_back(std::move(done));
    }
    void Answer(bool granted)
    {
        auto done = std::move(m_waiting.front());
        m_waiting.erase(m_waiting.begin());
        done(granted);
    }
    std::vector<std::string> asked;

private:
    std::vector<std::function<void(bool)>> m_waiting;
};

struct ServiceFixture : ::testing::Test {
    KorvanedService::Reply Keep()
    {
        replied = false;
        return [this](std::optional<Refusal> refusal) {
            replied = true;
            error = refusal ? refusal->error : "";
        };
    }
    platform::fake::FakeMachine machine{8};
    HeldAuthority authority;
    KorvanedService service{machine, authority, 7};
    bool replied = false;
    std::string error;
};

TEST_F(ServiceFixture, OwnProcessesNeedNoConsentAndAnotherUsersNeedAYes)
{
    const auto mine = machine.Start("/opt/Game.exe");
    const auto bobs = machine.Start("/opt/Game.exe");
    machine.SetOwner(bobs, 1001);
    service.SetAffinity(kAlice, mine, machine.ProcessStartTime(mine), "2", true, Keep());
    EXPECT_TRUE(replied && error.empty());
    EXPECT_EQ(machine.ThreadMasks(mine), std::vector<std::uint32_t>{4});
    EXPECT_TRUE(authority.asked.empty());

    service.SetAffinity(kAlice, bobs, machine.ProcessStartTime(bobs), "2", true, Keep());
    EXPECT_FALSE(replied); // waiting for the administrator
    EXPECT_EQ(authority.asked, std::vector<std::string>{":1.10 io.github.tollmere.korvane.set-other-users interactive"});
    authority.Answer(false);
    EXPECT_EQ(error, "AccessDenied");
    EXPECT_EQ(machine.ThreadMasks(bobs), std::vector<std::uint32_t>{255});
    service.SetAffinity(kAlice, bobs, machine.ProcessStartTime(bobs), "2", false, Keep());
    authority.Answer(true);
    EXPECT_TRUE(replied && error.empty());
    EXPECT_EQ(machine.ThreadMasks(bobs), std::vector<std::uint32_t>{4});
}

TEST_F(ServiceFixture, FavoritesForEveryUserNeedAYesForACallerStillThere)
{
    const auto bobs = machine.Start("/opt/Game.exe");
    machine.SetOwner(bobs, 1001);
    ASSERT_FALSE(service.SetFavorites(kAlice, {{"Game.exe", "1"}}, true));
    EXPECT_EQ(machine.ThreadMasks(bobs), std::vector<std::uint32_t>{255});
    service.ApplyToEveryUser(kAlice, true, true, Keep());
    authority.Answer(false);
    EXPECT_EQ(error, "AccessDenied");
    EXPECT_FALSE(service.Rules().AppliesTo(1001));

    service.ApplyToEveryUser(kAlice, true, true, Keep());
    authority.Answer(true);
    EXPECT_TRUE(replied && error.empty());
    EXPECT_EQ(machine.ThreadMasks(bobs), std::vector<std::uint32_t>{2}); // set at once
    const auto later = machine.Start("/opt/Game.exe");
    machine.SetOwner(later, 1002);
    service.ProgramStarted({later, machine.ProcessStartTime(later)});
    EXPECT_EQ(machine.ThreadMasks(later), std::vector<std::uint32_t>{2});

    // A caller gone while its user typed the password gets nothing from the yes.
    service.ApplyToEveryUser(kBob, true, true, Keep());
    service.CallerGone(kBob.busName);
    authority.Answer(true);
    EXPECT_FALSE(replied);
    EXPECT_FALSE(service.Rules().AppliesToEveryUser(kBob.busName));
    service.CallerGone(kAlice.busName);
    EXPECT_FALSE(service.Rules().AppliesTo(1002));
}

} // namespace
} // namespace korvane::service

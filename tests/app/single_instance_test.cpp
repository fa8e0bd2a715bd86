// One copy per user: the lock itself, and the built program started twice.
#include "app/single_instance.h"
#include "qt_printers.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(SingleInstanceTest, SecondLockFailsUntilTheFirstIsGone) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto first = std::make_unique<SingleInstance>(folder.path());
    EXPECT_TRUE(first->acquire());
    EXPECT_TRUE(QFileInfo(first->lockPath()).fileName().startsWith("KestVELQOR1"));
    {
        SingleInstance second(folder.path());
        EXPECT_FALSE(second.acquire());
    }
    first.reset();
    SingleInstance third(folder.path());
    EXPECT_TRUE(third.acquire());
}

TEST(SingleInstanceTest, ProgramStartedTwiceLeavesOneRunning) {
    QTemporaryDir runtime; // 0700, as the runtime folder must be
    ASSERT_TRUE(runtime.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(KV_PROGRAM_PATH, {});
    ASSERT_TRUE(first.waitForStarted(10000));
    const QString lock = runtime.filePath(SingleInstance::lockName());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(lock); }, 20000));

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(KV_PROGRAM_PATH, {"-expert"});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    // Silently: not a word on either channel.
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(second.readAllStandardError().isEmpty());

    // The first copy still runs, and it is the only one.
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    if (!first.waitForFinished(10000)) {
        first.kill();
        first.waitForFinished(5000);
    }
}

} // namespace
} // namespace kv

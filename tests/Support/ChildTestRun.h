#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

// Starts program running only the current test, with roleVariable=role in
// its environment; stdout goes to /dev/null when quiet. -1 on failure.
inline pid_t SpawnThisTest(const std::string& program, const std::string& roleVariable, const std::string& role,
                           bool quiet)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    std::vector<std::string> environment{roleVariable + "=" + role};
    for (char** variable = environ; *variable; ++variable)
        environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), filter.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data()) != 0)
        child = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// The exit status of a child; -1 when it did not exit by itself.
inline int ExitStatusOf(pid_t child)
{
    int status = 0;
    if (child <= 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

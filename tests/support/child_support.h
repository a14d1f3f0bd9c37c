#pragma once
// Running the test program itself again as a child process in a named mode,
// for cases that must end or start a process of their own (a clean exit, a
// quit, another system language). A test program using it has its own main:
//
//   int main(int argc, char** argv)
//   {
//       if (test_support::is_child(argc, argv))
//           return run_child(test_support::child_mode(argc, argv), argc, argv);
//       ... QApplication, QTest::qExec ...
//   }

#include <QMap>
#include <QString>
#include <QStringList>

namespace test_support {

bool is_child(int argc, char** argv);
QString child_mode(int argc, char** argv);

struct child_result {
    bool finished = false;   // ended within the time limit
    bool crashed = false;    // ended by a signal
    int exit_code = -1;
    QString standard_output;
    QString standard_error;
};

// Runs this program with "--child <mode>", the environment changed by
// set_env and unset_env, and waits at most timeout_ms (then kills it).
child_result run_child(const QString& mode, const QMap<QString, QString>& set_env = {},
                       const QStringList& unset_env = {}, int timeout_ms = 20000);

} // namespace test_support

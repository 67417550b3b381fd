// Child processes of the program and the liveness of any process, by id.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Starts `program` with `arguments` in the current directory as a child of this program, in a
// session of its own (ending the program does not end it), with `environment` (NAME=VALUE) added to this
// process's and the descriptor `inherit` (when >= 0) open in it under the same number; its
// error output is kept for child_error_line (and passed on to this process's). Its
// process id; "Cannot start the solver" naming the program when it cannot be started.
long long start_child(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment, int inherit = -1);
// True while a child started by start_child runs. Every child is collected as soon as it ends,
// whether anyone looks or not (no zombie is left); false for any id that is no running child
// of start_child, an ended one included.
bool child_running(long long pid);
// Asks a child of start_child that still runs to end (SIGTERM); any other id is left alone.
void end_child(long long pid);

// The last line the child started by start_child has written to its error output so far,
// without the "<program>: " it starts its messages with; "" when none. Never waits.
std::string child_error_line(long long pid);

// The solver started last in this run of the program, so that a waiting caller (the scenario
// runner) can tell when it has finished; 0 when none was started.
void record_solver_process(long long pid);
long long last_solver_process();
// True while a process of that id exists, whoever it is: for writers of temporary files, not
// for the program's own solver (child_running).
bool process_running(long long pid);
// True while a process of that id runs one of this program's executables: one beside this
// process's own, or one named like marulla, topo or topo_nd. An id that has passed to another
// program is false. Where the system does not tell, any live process counts.
bool process_of_this_program(long long pid);
// Tests stand in for the system's answer about process ids (every id taken by some other
// process, as after a reuse); an empty function restores it.
void set_process_probe_for_tests(std::function<bool(long long)> probe);

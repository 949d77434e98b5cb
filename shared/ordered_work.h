// Runs numbered jobs side by side on a few workers and hands each finished
// job back on the calling thread in the jobs' own order, so that what the
// jobs report comes out as a run of one job after another would print it.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

// No job that must run first.
constexpr size_t kNoJob = static_cast<size_t>(-1);

// Runs work(job, worker) for every job from 0 to count - 1 on `workers`
// threads (worker numbers 0 to workers - 1; a worker does one job at a time,
// taking the next job in order) and calls done(job) on the calling thread
// for job 0, 1, 2, ... each as soon as it and every job before it has run.
// `after` (empty, or one entry a job) names for each job an earlier job that
// must have run before it starts (kNoJob: none), for jobs that work on the
// same thing. With one worker or fewer the jobs run on the calling thread,
// each followed by its done.
void RunInOrder(size_t count, size_t workers, const std::function<void(size_t, size_t)>& work,
                const std::function<void(size_t)>& done, const std::vector<size_t>& after = {});

#pragma once

struct os_cpu_usage_info;

// This process's CPU load in percent of the whole machine, averaged since the last query.
class CpuUsage {
public:
    CpuUsage();
    ~CpuUsage();
    CpuUsage(const CpuUsage&) = delete;
    CpuUsage& operator=(const CpuUsage&) = delete;

    float percent();

private:
    os_cpu_usage_info* info_;
};

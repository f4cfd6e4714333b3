#include "frontend/CpuUsage.h"

#include <util/platform.h>

CpuUsage::CpuUsage() : info_(os_cpu_usage_info_start()) {}

CpuUsage::~CpuUsage() {
    os_cpu_usage_info_destroy(info_);
}

float CpuUsage::percent() {
    return info_ ? static_cast<float>(os_cpu_usage_info_query(info_)) : 0.0f;
}

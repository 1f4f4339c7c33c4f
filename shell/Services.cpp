#include "shell/Services.h"

namespace shell {

namespace {

ProgramServicesTable services_table{};

}  // namespace

ProgramServicesTable& ProgramServices() { return services_table; }

void ResetProgramServices() { services_table = ProgramServicesTable{}; }

}  // namespace shell

// The platform's diagnostic output behind Debug_Print.
#pragma once

void Debug_PlatformOutput(const char *line);

// The single-instance guard of "singleinstance".
#pragma once

// Returns, or shows the refusal and ends the process with exit code 11.
void EnforceSingleInstance();

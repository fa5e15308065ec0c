#!/usr/bin/env node
// The tool names itself as the native one does, not by its file name.
var Module = { thisProgram: "karnolt-replay" };

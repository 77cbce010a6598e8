// Where the two Java runtimes are downloaded from.
#pragma once

// The Italian page of the public Java download site.
constexpr char kSunJavaAddress[] = "http://www.java.com/it/";
// The Microsoft VM installer, kept in our own web space.
constexpr char kMicrosoftVmAddress[] = "http://www.sondrel.it/download/msjavx86.exe";

#pragma once

#include <QString>

#include <functional>

// The system-information tool, found through the registry.

enum class KeyRoot { LocalMachine };

// Reads the text value subKeyRef of the registry key keyName under root into
// keyVal; true when it was read. This platform has no registry: the answer
// is always "not found" with keyVal empty.
bool GetKeyValue(KeyRoot root, const QString &keyName, const QString &subKeyRef, QString &keyVal);

using KeyReader = std::function<bool(KeyRoot, const QString &, const QString &, QString &)>;

// Starts the system-information tool whose place the registry names, without
// waiting for it; when it cannot be found or started, says so through
// prompts() with "Системная информация недоступна".
void StartSysInfo(const KeyReader &readKey = GetKeyValue);

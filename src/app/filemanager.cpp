// SPDX-License-Identifier: MIT
#include "app/filemanager.h"

#include "platform/reveal.h"

#include <utility>

namespace FileManager {

namespace {
std::function<void(const QString &)> &onFailure()
{
    static std::function<void(const QString &)> handler;
    return handler;
}
} // namespace

void reveal(const QString &path)
{
    Reveal::showItem(path, [path] {
        if (const std::function<void(const QString &)> &handler = onFailure())
            handler(path);
    });
}

void setOnFailure(std::function<void(const QString &path)> handler)
{
    onFailure() = std::move(handler);
}

} // namespace FileManager

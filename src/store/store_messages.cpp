#include "store/store_messages.h"

#include <cerrno>
#include <cstring>
#include <locale.h>

namespace fundlens {

namespace {

// The system's own words for errors without a text of ours, in English whatever the locale.
Text SystemErrorText(int error) {
    locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    const Text text = c ? ::strerror_l(error, c) : "error " + std::to_string(error);
    if (c)
        ::freelocale(c);
    return text;
}

Text Naming(const char* utf8, const std::string& path) {
    return Utf8ToText(utf8) + PathText(path);
}

Text WithWhy(Text message, const Text& why) {
    return why.empty() ? message : message + "（"_gbk + why + "）"_gbk;
}

} // namespace

Text ErrnoText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "没有权限"_gbk;
    case ENOSPC:
    case EDQUOT:
        return "磁盘空间不足"_gbk;
    case EROFS:
        return "所在的磁盘是只读的"_gbk;
    case ENOENT:
        return "文件夹不存在"_gbk;
    case ENOTDIR:
        return "路径中有一项不是文件夹"_gbk;
    case EISDIR:
        return "这是一个文件夹"_gbk;
    case EIO:
        return "磁盘读写出错"_gbk;
    default:
        return SystemErrorText(error);
    }
}

Text PathText(const std::string& path) {
    return Utf8ToText(path);
}

Text DataDirMessage(const std::string& dir, const Text& why) {
    return WithWhy(Naming("无法创建自选基金的数据文件夹：", dir), why);
}

Text OpenFailedMessage(const std::string& path, const Text& why) {
    return WithWhy(Naming("无法打开自选基金数据文件：", path), why);
}

Text WriteFailedMessage(const std::string& path, const Text& why) {
    return WithWhy(Naming("自选基金数据没有保存，写入文件失败：", path), why);
}

Text ReadFailedMessage(const std::string& path, const Text& why) {
    return WithWhy(Naming("读取自选基金数据文件失败：", path), why);
}

Text BusyMessage(const std::string& path) {
    return Naming("自选基金数据文件正被另一个程序使用，请稍后再试：", path);
}

Text DiskFullMessage(const std::string& path) {
    return Naming("磁盘空间不足，自选基金数据没有保存：", path);
}

Text DamagedMessage(const std::string& path) {
    return Naming("自选基金数据文件已损坏：", path);
}

Text ForeignFileMessage(const std::string& path) {
    return Naming("这个文件不是自选基金数据文件，无法使用：", path);
}

Text NewerVersionMessage(const std::string& path) {
    return Naming("自选基金数据文件由更新版本的程序保存，现在只能查看，不能修改：", path);
}

Text ReadOnlyRefusalMessage(const std::string& path) {
    return Naming("自选基金数据文件由更新版本的程序保存，只能查看，这次修改没有保存：", path);
}

Text NotWritableMessage(const std::string& path) {
    return Naming("没有权限写入自选基金数据文件：", path);
}

Text FundNotWatchedMessage(const Text& code) {
    return "基金 "_gbk + code + " 不在自选列表中"_gbk;
}

Text TransactionMissingMessage(long long id) {
    return "找不到这笔交易记录（编号 "_gbk + std::to_string(id) + "），它可能已被删除"_gbk;
}

Text UnknownKindMessage(const std::string& path) {
    return Naming("自选基金数据文件中有本程序不认识的交易记录，请使用更新版本的程序：", path);
}

Text LineMessage(int line, const Text& why) {
    if (line <= 0)
        return why;
    return "第 "_gbk + std::to_string(line) + " 行："_gbk + why;
}

} // namespace fundlens

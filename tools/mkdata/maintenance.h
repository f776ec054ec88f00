#pragma once
// The upkeep of a data folder in use: the accounts of its workgroup file and the periods of
// its database. Each change refuses while the program holds the database, and keeps the
// file's mode and group.
#include <filesystem>
#include <functional>
#include <string>

namespace mkdata {

struct FolderFiles {
    std::filesystem::path database, workgroup;
};

// Asks for the password of the account named.
using PasswordSource = std::function<std::string(const std::string&)>;

// Adds a new account; refuses one that exists.
void addAccount(const FolderFiles& files, const std::string& name, const PasswordSource& password);
// Removes an account; refuses an unknown one and the file's last one.
void removeAccount(const FolderFiles& files, const std::string& name);
// Sets a new password for an existing account.
void changePassword(const FolderFiles& files, const std::string& name, const PasswordSource& password);

// Adds the twelve monthly periods of `year` to the database, in one transaction; refuses a
// year of which a period is present (one whose DataStart lies in it).
void addPeriods(const FolderFiles& files, int year);

// The statements that add the twelve periods of `year` after the period `lastId`, in the
// form of the periods script.
std::string periodsOfYear(int year, int lastId);

}  // namespace mkdata

// The checking pass over the syntax tree.
#include "checker.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace vxc {

namespace {

std::string Lower(const std::string& s) {
    std::string l = s;
    for (char& c : l)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return l;
}

std::string Key(const std::string& name, bool str) {
    return Lower(name) + (str ? "$" : "");
}

// A name as shown in messages: long junk names are cut.
std::string Shown(const std::string& name) {
    return name.size() > 40 ? name.substr(0, 40) + "..." : name;
}

const char* KindWord(ArgKind k) {
    switch (k) {
        case ArgKind::Int:
            return "an integer";
        case ArgKind::Str:
            return "a string";
        case ArgKind::IntVar:
            return "an integer variable";
        default:
            return "a string variable";
    }
}

struct Label {
    Stmt* stmt;
    std::vector<int> path;  // the blocks it sits in, outermost first
};

struct Jump {
    Stmt* stmt;
    std::vector<int> path;
};

class Checker {
public:
    Checker(Program& p, Diagnostics& d) : program_(p), diag_(d) {}
    void Run(const std::vector<std::pair<std::string, std::string>>& defines);

private:
    void CollectConstants(const std::vector<std::pair<std::string, std::string>>& defines);
    void CollectSubs();
    void Collect(Block& block, Routine& routine);
    void CheckRoutine(Routine& routine);
    void CheckBlock(Block& block);
    void CheckStmt(Stmt* s);
    void CheckCommand(Stmt* s);
    const CommandForm* MatchForms(const std::string& name, std::vector<Expr*>& args, const Pos& pos,
                                  bool function);
    void CheckExpr(Expr* e);
    void CheckTarget(Expr* e);
    Symbol* Variable(Expr* e, bool write);
    Symbol* Array(Expr* e);
    Symbol* NewSymbol(const std::string& name, bool str, const char* suffix);
    void Warnings();

    Program& program_;
    Diagnostics& diag_;
    std::unordered_map<std::string, Constant*> constants_;
    std::unordered_map<std::string, Symbol*> globals_;
    std::unordered_map<std::string, Symbol*> arrays_;
    std::unordered_map<std::string, Routine*> subs_;
    std::unordered_set<std::string> collectedLocals_;  // of the routine being collected
    // Per routine.
    Routine* routine_ = nullptr;
    std::unordered_map<std::string, Symbol*> locals_;
    std::map<std::string, Label> labels_;
    std::vector<Jump> jumps_;
    std::vector<int> path_;
    int nextBlock_ = 0;
    int nextLoop_ = 0;
    // Labels of every routine, for the message about a GOTO into another one.
    std::unordered_map<std::string, std::string> labelHome_;
};

Symbol* Checker::NewSymbol(const std::string& name, bool str, const char* suffix) {
    program_.symbols.emplace_back();
    Symbol* sym = &program_.symbols.back();
    sym->name = name + (str ? "$" : "");
    sym->cname = Lower(name) + suffix;
    sym->type = str ? Type::Str : Type::Int;
    return sym;
}

void Checker::Run(const std::vector<std::pair<std::string, std::string>>& defines) {
    CollectConstants(defines);
    CollectSubs();
    CheckRoutine(program_.main);
    for (Routine& sub : program_.subs) CheckRoutine(sub);
    Warnings();
    for (auto& entry : globals_) program_.globals.push_back(entry.second);
    for (auto& entry : arrays_) program_.globals.push_back(entry.second);
    std::sort(program_.globals.begin(), program_.globals.end(),
              [](const Symbol* a, const Symbol* b) { return a->cname < b->cname; });
}

void Checker::CollectConstants(const std::vector<std::pair<std::string, std::string>>& defines) {
    for (Constant& c : program_.constants) {
        std::string key = Key(c.name, c.str);
        auto found = constants_.find(key);
        if (found != constants_.end()) {
            diag_.Error(c.pos, "CONST " + Shown(c.name) + (c.str ? "$" : "") +
                                   " is already defined at line " +
                                   std::to_string(found->second->pos.line));
            continue;
        }
        constants_[key] = &c;
    }
    for (const auto& define : defines) {
        std::string key = Lower(define.first);
        auto found = constants_.find(key);
        if (found == constants_.end() && (key.empty() || key.back() != '$'))
            found = constants_.find(key + "$");
        if (found == constants_.end()) {
            diag_.WarningNoPos("-D " + define.first + ": the program has no CONST " + define.first);
            continue;
        }
        Constant& c = *found->second;
        c.overridden = true;
        if (c.str) {
            if (define.second.find('\n') != std::string::npos)
                diag_.ErrorNoPos("-D " + define.first + ": the value holds a line break");
            c.text = define.second;
            continue;
        }
        // An integer: decimal or 0x hex, with an optional sign.
        const std::string& v = define.second;
        size_t i = 0;
        bool negative = false;
        if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
        bool hex = v.size() > i + 2 && v[i] == '0' && (v[i + 1] == 'x' || v[i + 1] == 'X');
        if (hex) i += 2;
        int64_t value = 0;
        bool ok = i < v.size();
        for (; ok && i < v.size(); ++i) {
            char ch = v[i];
            int digit = ch >= '0' && ch <= '9'          ? ch - '0'
                        : hex && ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                        : hex && ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                                        : -1;
            if (digit < 0) ok = false;
            value = value * (hex ? 16 : 10) + std::max(digit, 0);
            if (value > 4294967295LL) ok = false;
        }
        if (ok && hex && !negative && value > 2147483647) value -= int64_t(1) << 32;
        if (ok && (value > 2147483647 + int64_t(negative))) ok = false;
        if (!ok) {
            diag_.ErrorNoPos("-D " + define.first + "=" + define.second + ": CONST " + c.name +
                             " takes an integer");
            continue;
        }
        c.value = negative ? -value : value;
    }
}

// SUB names, then the DIMs, LOCALs and labels of every routine.
void Checker::CollectSubs() {
    for (Routine& sub : program_.subs) {
        std::string key = Lower(sub.name);
        auto found = subs_.find(key);
        if (found != subs_.end()) {
            diag_.Error(sub.pos, "SUB " + Shown(sub.name) + " is already defined at line " +
                                     std::to_string(found->second->pos.line));
            continue;
        }
        subs_[key] = &sub;
    }
    routine_ = &program_.main;
    Collect(program_.main.body, program_.main);
    for (Routine& sub : program_.subs) {
        routine_ = &sub;
        collectedLocals_.clear();
        Collect(sub.body, sub);
    }
}

void Checker::Collect(Block& block, Routine& routine) {
    for (Stmt* s : block) {
        switch (s->kind) {
            case StmtKind::Dim:
                for (Expr* e : s->args) {
                    std::string key = Key(e->text, e->str);
                    if (!arrays_.count(key)) {
                        Symbol* sym = NewSymbol(e->text, e->str, e->str ? "_StrArr" : "_IntArr");
                        sym->array = true;
                        arrays_[key] = sym;
                    }
                }
                break;
            case StmtKind::Local:
                for (Expr* e : s->args) {
                    std::string key = Key(e->text, e->str);
                    if (constants_.count(key)) {
                        diag_.Error(e->pos, Shown(e->text) + " is a CONST");
                        continue;
                    }
                    if (!collectedLocals_.insert(key).second) continue;
                    Symbol* sym = NewSymbol(e->text, e->str, e->str ? "_Str" : "_Int");
                    sym->local = true;
                    routine.locals.push_back(sym);
                }
                break;
            case StmtKind::If:
                for (Block& b : s->blocks) Collect(b, routine);
                break;
            case StmtKind::While:
            case StmtKind::Repeat:
            case StmtKind::For:
                Collect(s->body, routine);
                break;
            default:
                break;
        }
        if (s->kind == StmtKind::Label) {
            std::string key = Lower(s->name);
            if (!labelHome_.count(key))
                labelHome_[key] = routine.name.empty() ? "the main program" : "SUB " + routine.name;
        }
    }
}

void Checker::CheckRoutine(Routine& routine) {
    routine_ = &routine;
    locals_.clear();
    labels_.clear();
    jumps_.clear();
    path_.clear();
    nextLoop_ = 0;
    for (Symbol* sym : routine.locals) locals_[Key(sym->name, false)] = sym;
    CheckBlock(routine.body);
    for (Jump& jump : jumps_) {
        std::string key = Lower(jump.stmt->name);
        auto found = labels_.find(key);
        if (found == labels_.end()) {
            auto home = labelHome_.find(key);
            if (home != labelHome_.end())
                diag_.Error(jump.stmt->namePos, "label " + Shown(jump.stmt->name) + " is in " +
                                                    home->second +
                                                    "; GOTO stays within its routine");
            else
                diag_.Error(jump.stmt->namePos, "no label " + Shown(jump.stmt->name));
            continue;
        }
        const std::vector<int>& to = found->second.path;
        if (to.size() > jump.path.size() || !std::equal(to.begin(), to.end(), jump.path.begin())) {
            diag_.Error(jump.stmt->namePos,
                        "GOTO " + Shown(jump.stmt->name) +
                            " jumps into a block; jump only to labels of its own or an "
                            "enclosing block");
            continue;
        }
        found->second.stmt->used = true;
    }
}

void Checker::CheckBlock(Block& block) {
    path_.push_back(nextBlock_++);
    for (Stmt* s : block) CheckStmt(s);
    path_.pop_back();
}

void Checker::CheckStmt(Stmt* s) {
    switch (s->kind) {
        case StmtKind::Assign:
            CheckExpr(s->value);
            CheckTarget(s->target);
            break;
        case StmtKind::Command:
            CheckCommand(s);
            break;
        case StmtKind::If:
            for (Expr* c : s->conds) CheckExpr(c);
            for (Block& b : s->blocks) CheckBlock(b);
            break;
        case StmtKind::While:
        case StmtKind::Repeat:
            s->loopId = ++nextLoop_;
            if (s->kind == StmtKind::While) CheckExpr(s->cond);
            CheckBlock(s->body);
            if (s->kind == StmtKind::Repeat) CheckExpr(s->cond);
            break;
        case StmtKind::For:
            s->loopId = ++nextLoop_;
            CheckExpr(s->value);
            CheckExpr(s->limit);
            if (s->step) CheckExpr(s->step);
            CheckTarget(s->target);
            if (s->target->kind != ExprKind::Var)
                diag_.Error(s->target->pos, "FOR needs an integer variable");
            CheckBlock(s->body);
            break;
        case StmtKind::Label: {
            std::string key = Lower(s->name);
            auto found = labels_.find(key);
            if (found != labels_.end()) {
                diag_.Error(s->namePos, "label " + Shown(s->name) + " is already defined at line " +
                                            std::to_string(found->second.stmt->pos.line));
                break;
            }
            labels_[key] = Label{s, path_};
            break;
        }
        case StmtKind::Goto:
            jumps_.push_back(Jump{s, path_});
            break;
        case StmtKind::Gosub:
            if (!subs_.count(Lower(s->name)))
                diag_.Error(s->namePos, "no SUB named " + Shown(s->name));
            break;
        case StmtKind::Dim:
            for (Expr* e : s->args) {
                e->sym = Array(e);
                for (Expr* size : e->args) CheckExpr(size);
                if (e->sym) e->type = e->sym->type;
            }
            break;
        default:
            break;
    }
}

// An integer or string variable (or a constant, which becomes its literal).
Symbol* Checker::Variable(Expr* e, bool write) {
    std::string key = Key(e->text, e->str);
    auto c = constants_.find(key);
    if (c != constants_.end()) {
        if (write) {
            diag_.Error(e->pos, Shown(e->text) + (e->str ? "$" : "") + " is a CONST");
            return nullptr;
        }
        e->kind = c->second->str ? ExprKind::StrLit : ExprKind::IntLit;
        e->value = c->second->value;
        e->text = c->second->str ? c->second->text : "";
        e->type = c->second->str ? Type::Str : Type::Int;
        return nullptr;
    }
    Symbol* sym = nullptr;
    auto local = locals_.find(key);
    if (local != locals_.end()) {
        sym = local->second;
    } else {
        auto global = globals_.find(key);
        if (global == globals_.end()) {
            sym = NewSymbol(e->text, e->str, e->str ? "_Str" : "_Int");
            globals_[key] = sym;
        } else {
            sym = global->second;
        }
    }
    if (write) {
        sym->assigned = true;
    } else if (!sym->read) {
        sym->read = true;
        sym->firstRead = e->pos;
    }
    e->sym = sym;
    e->type = sym->type;
    return sym;
}

Symbol* Checker::Array(Expr* e) {
    auto found = arrays_.find(Key(e->text, e->str));
    if (found == arrays_.end()) {
        diag_.Error(e->pos, Shown(e->text) + (e->str ? "$" : "") + " is no array: DIM " +
                                Shown(e->text) + (e->str ? "$" : "") + "[size] makes one");
        return nullptr;
    }
    e->type = found->second->type;
    return found->second;
}

void Checker::CheckTarget(Expr* e) {
    if (e->kind == ExprKind::Var) {
        Variable(e, true);
    } else if (e->kind == ExprKind::Element) {
        e->sym = Array(e);
        for (Expr* index : e->args) CheckExpr(index);
    }
}

void Checker::CheckExpr(Expr* e) {
    switch (e->kind) {
        case ExprKind::IntLit:
            e->type = Type::Int;
            break;
        case ExprKind::StrLit:
            e->type = Type::Str;
            break;
        case ExprKind::Var:
            Variable(e, false);
            break;
        case ExprKind::Element:
            e->sym = Array(e);
            for (Expr* index : e->args) CheckExpr(index);
            break;
        case ExprKind::Call:
            for (Expr* a : e->args) CheckExpr(a);
            e->form = MatchForms(e->text, e->args, e->pos, true);
            e->type = Type::Int;
            break;
        case ExprKind::Neg:
        case ExprKind::Not:
            CheckExpr(e->lhs);
            e->type = Type::Int;
            break;
        case ExprKind::Binary:
            CheckExpr(e->lhs);
            CheckExpr(e->rhs);
            e->type = e->lhs->type;
            break;
    }
}

void Checker::CheckCommand(Stmt* s) {
    // Arguments a command writes are resolved as targets, the others as values.
    std::vector<const CommandForm*> forms = FindCommand(s->name);
    for (size_t i = 0; i < s->args.size(); ++i) {
        Expr* a = s->args[i];
        bool written = false;
        for (const CommandForm* f : forms)
            if (int(i) < f->argc &&
                (f->args[i] == ArgKind::IntVar || f->args[i] == ArgKind::StrVar))
                written = true;
        if (written && (a->kind == ExprKind::Var || a->kind == ExprKind::Element))
            CheckTarget(a);
        else
            CheckExpr(a);
    }
    s->form = MatchForms(s->name, s->args, s->namePos, false);
}

// The form of `name` that the arguments fit, or null after an error.
const CommandForm* Checker::MatchForms(const std::string& name, std::vector<Expr*>& args,
                                       const Pos& pos, bool function) {
    std::vector<const CommandForm*> forms = FindCommand(name);
    if (forms.empty()) {
        std::string message = function ? "unknown function " : "unknown command ";
        message += Shown(name);
        if (!function && subs_.count(Lower(name))) {
            message += "; call the SUB with GOSUB " + Shown(name);
        } else {
            std::string near = NearestCommand(name);
            if (!near.empty()) message += "; did you mean " + near + "?";
        }
        diag_.Error(pos, message);
        return nullptr;
    }
    std::string shown;
    for (const CommandForm* f : forms) shown += (shown.empty() ? "" : " | ") + FormText(*f);
    std::string upper = forms[0]->name;
    if (forms[0]->function != function) {
        diag_.Error(pos, function ? upper + " is a command, not a function: " + shown
                                  : upper + " is a function; use its value, as in x = " + shown);
        return nullptr;
    }
    auto fits = [&](ArgKind kind, Expr* a) {
        bool variable =
            (a->kind == ExprKind::Var && a->sym) || (a->kind == ExprKind::Element && a->sym);
        switch (kind) {
            case ArgKind::Int:
                return a->type == Type::Int;
            case ArgKind::Str:
                return a->type == Type::Str;
            case ArgKind::IntVar:
                return variable && a->type == Type::Int;
            default:
                return variable && a->type == Type::Str;
        }
    };
    bool countFits = false;
    for (const CommandForm* f : forms) {
        if (f->argc != int(args.size())) continue;
        countFits = true;
        bool all = true;
        for (int i = 0; i < f->argc && all; ++i) all = fits(f->args[i], args[i]);
        if (all) return f;
    }
    if (!countFits) {
        diag_.Error(pos, upper + " takes " + std::to_string(forms[0]->argc) + " argument" +
                             (forms[0]->argc == 1 ? "" : "s") + ", not " +
                             std::to_string(args.size()) + ": " + shown);
        return nullptr;
    }
    // The first argument no form takes names what the forms want there.
    for (size_t i = 0; i < args.size(); ++i) {
        bool any = false;
        std::string want;
        bool writes = false;
        for (const CommandForm* f : forms) {
            any = any || fits(f->args[i], args[i]);
            std::string w = KindWord(f->args[i]);
            if (want.find(w) == std::string::npos) want += (want.empty() ? "" : " or ") + w;
            writes = writes || f->args[i] == ArgKind::IntVar || f->args[i] == ArgKind::StrVar;
        }
        if (any) continue;
        bool variable = args[i]->kind == ExprKind::Var || args[i]->kind == ExprKind::Element;
        std::string message =
            "argument " + std::to_string(i + 1) + " of " + upper + " must be " + want;
        if (writes && !variable) message += ", as " + upper + " writes it";
        diag_.Error(args[i]->pos, message + ": " + shown);
        return nullptr;
    }
    diag_.Error(pos, "the arguments fit no form of " + upper + ": " + shown);
    return nullptr;
}

void Checker::Warnings() {
    std::vector<Symbol*> unassigned;
    for (Symbol& sym : program_.symbols)
        if (!sym.array && sym.read && !sym.assigned) unassigned.push_back(&sym);
    std::sort(unassigned.begin(), unassigned.end(), [](const Symbol* a, const Symbol* b) {
        return a->firstRead.offset < b->firstRead.offset;
    });
    for (Symbol* sym : unassigned)
        diag_.Warning(sym->firstRead, Shown(sym->name) + " is read but never given a value");
}

}  // namespace

void Check(Program& program, const std::vector<std::pair<std::string, std::string>>& defines,
           Diagnostics& diagnostics) {
    Checker(program, diagnostics).Run(defines);
}

}  // namespace vxc

// The emitter. Integer arithmetic is written inline (in unsigned, so it wraps as the
// runtime's SUB and MUL do); division, string operations and element reads go through
// the runtime's functions on temporaries that live in a block of the statement's own.
#include "emitter.h"

#include <unordered_map>
#include <vector>

namespace vxc {

namespace {

// Inline integer code deeper than this goes into a temporary: the C++ stays readable
// and within a compiler's bracket limits.
constexpr int kMaxInline = 6;
// Indentation stops growing here, so deep nesting cannot make the output quadratic.
constexpr int kMaxIndent = 32;

std::string CppString(const std::string& text) {
    std::string out = "\"";
    char prev = 0;
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '?' && prev == '?') {
            out += "\\?";  // no trigraphs
        } else if (c < 32 || c >= 127) {
            const char digits[] = {'\\', char('0' + (c >> 6)), char('0' + ((c >> 3) & 7)),
                                   char('0' + (c & 7)), 0};
            out += digits;
        } else {
            out += ch;
        }
        prev = ch;
    }
    return out + "\"";
}

// The text of a string read as an integer, as VXStr's operator int reads it.
int TextAsInt(const std::string& text) {
    if (text.size() > 1022) return 0;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        value = value * 10u + unsigned(text[i++] - '0');
    return int(negative ? 0u - value : value);
}

std::string Lower(const std::string& s) {
    std::string l = s;
    for (char& c : l)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return l;
}

std::string IntText(int64_t v) {
    if (v == -2147483647 - 1) return "(-2147483647 - 1)";
    return std::to_string(v);
}

// A value as the emitter holds it: C++ code and what it is.
struct Val {
    std::string code;
    Type type = Type::Int;
    bool cond = false;    // code is a C++ condition (bool), not an int
    bool temp = false;    // code names a temporary of this statement, free to change
    bool intLit = false;  // an integer literal, value holds it
    bool strLit = false;  // a string literal, text holds its contents
    bool var = false;     // code names a variable
    int64_t value = 0;
    std::string text;
    int nest = 0;
};

class Emitter {
public:
    Emitter(const Program& p, const std::string& fileName) : program_(p) {
        std::string quoted;
        for (char c : fileName) {
            if (c == '\\' || c == '"')
                quoted += std::string("\\") + c;
            else if (static_cast<unsigned char>(c) < 32)
                quoted += '?';
            else
                quoted += c;
        }
        fileName_ = quoted;
        shownName_ = fileName;
        for (char& c : shownName_)
            if (static_cast<unsigned char>(c) < 32) c = '?';
    }
    std::string Run();

private:
    void Line(const std::string& text);
    void At(int line);
    void SLine(int line, const std::string& text);
    std::string Join(std::vector<std::string>& lines);

    void GlobalInit();
    void EmitRoutine(const Routine& r, bool main);
    void EmitBlock(const Block& block);
    void EmitStmt(const Stmt* s);
    void EmitSimple(const Stmt* s);
    void EmitAssign(const Stmt* s, std::vector<std::string>& out);
    void EmitCommand(const Stmt* s, std::vector<std::string>& out);
    void EmitIf(const Stmt* s);
    void EmitWhile(const Stmt* s);
    void EmitRepeat(const Stmt* s);
    void EmitFor(const Stmt* s);

    Val E(const Expr* e);
    Val Binary(const Expr* e);
    Val EInt(const Expr* e);
    std::string Temp(Type type, const std::string& init);
    std::string Int(const Val& v);
    std::string Cond(const Val& v);
    std::string Indices(const Expr* element);
    Val Spill(Val v);

    const Program& program_;
    std::string fileName_;
    std::string shownName_;
    std::string out_;
    int indent_ = 0;
    int presumed_ = 0;  // the line the compiler believes the next output line is; 0: real
    bool main_ = false;
    int temps_ = 0;
    std::vector<std::string> pre_;  // the current statement's temporaries and calls
    std::unordered_map<const Stmt*, std::string> continue_;
    const Expr* inPlace_ = nullptr;  // a variable the statement's operations may change
    // s$ = "a" + ...: the first operand goes straight into s$ (seedTarget_), and the
    // operations work on it, where nothing on the right reads s$.
    const Expr* seed_ = nullptr;
    std::string seedTarget_;
    std::string prefix_;  // put before the statement's first line (_dLn)
};

void Emitter::Line(const std::string& text) {
    out_.append(size_t(std::min(indent_, kMaxIndent)) * 4, ' ');
    out_ += text;
    out_ += '\n';
    if (presumed_) ++presumed_;
}

void Emitter::At(int line) {
    if (presumed_ == line) return;
    out_ += "#line " + std::to_string(line) + " \"" + fileName_ + "\"\n";
    presumed_ = line;
}

// A line of the statement on `line`: mapped to it, so a debugger shows that line
// for all of the statement's C++.
void Emitter::SLine(int line, const std::string& text) {
    At(line);
    std::string full = prefix_ + text;
    prefix_.clear();
    while (!full.empty() && full.back() == ' ') full.pop_back();
    Line(full);
}

std::string Emitter::Run() {
    Line("// Made by vamexc from " + shownName_ + ": edit that file, not this one.");
    Line("#include \"vamex.h\"");
    bool any = false;
    for (const Symbol* sym : program_.globals) {
        if (!any) Line("");
        any = true;
        if (sym->array)
            Line(std::string(sym->type == Type::Str ? "VXStrArray " : "VXIntArray ") + sym->cname +
                 ";");
        else if (sym->type == Type::Str)
            Line("VXStr " + sym->cname + ";");
        else
            Line("int " + sym->cname + " = 0;");
    }
    if (!program_.subs.empty()) {
        Line("");
        for (const Routine& sub : program_.subs) Line("void " + Lower(sub.name) + "_Sub();");
    }
    Line("");
    GlobalInit();
    Line("");
    EmitRoutine(program_.main, true);
    for (const Routine& sub : program_.subs) {
        Line("");
        EmitRoutine(sub, false);
    }
    return out_;
}

// The settings, the display and the first frame, in the runtime's start-up order.
void Emitter::GlobalInit() {
    const Settings& s = program_.settings;
    Line("int GlobalInit(OpenGLLumeris& renderer, HWND window) {");
    ++indent_;
    Line("_VX_RESX = " + std::to_string(s.screenX) + ";");
    Line("_VX_RESY = " + std::to_string(s.screenY) + ";");
    Line("_VX_FULLSCREEN = " + std::to_string(s.fullscreen) + ";");
    Line("_VX_FRAMERATE = " + std::to_string(s.frameTime) + ";");
    Line("_VX_DEBUG = " + std::to_string(s.debug) + ";");
    Line("renderer.Init(window, _VX_RESX, _VX_RESY, 16, (unsigned short)_VX_FRAMERATE);");
    Line("if (_VX_FULLSCREEN)");
    Line("    renderer.DoFullscreen();");
    Line("else");
    Line("    renderer.DoWindowed();");
    Line("_g_my = 100;");
    Line("_g_mx = 100;");
    Line("_g_errorline = 0;");
    Line("_g_error = 0;");
    Line("_g_debugline = 0;");
    Line("SHOWSCREEN();");
    Line("return 0;");
    --indent_;
    Line("}");
}

void Emitter::EmitRoutine(const Routine& r, bool main) {
    main_ = main;
    temps_ = 0;
    Line(main ? "int MainGameSub() {" : "void " + Lower(r.name) + "_Sub() {");
    ++indent_;
    for (const Symbol* sym : r.locals) {
        if (!sym->read && !sym->assigned) continue;
        std::string unused = sym->read ? "" : "[[maybe_unused]] ";
        Line(unused + (sym->type == Type::Str ? "VXStr " + sym->cname + ";"
                                              : "int " + sym->cname + " = 0;"));
    }
    EmitBlock(r.body);
    if (main) Line("return 0;");
    --indent_;
    Line("}");
}

void Emitter::EmitBlock(const Block& block) {
    for (const Stmt* s : block) EmitStmt(s);
}

void Emitter::EmitStmt(const Stmt* s) {
    if (s->kind == StmtKind::Local) return;
    if (s->kind == StmtKind::Label) {
        // An unused label would be a compiler warning.
        SLine(s->pos.line, s->used ? Lower(s->name) + "_Label:;" : "// " + s->name + ":");
        return;
    }
    // The announcement goes on the statement's own line.
    if (program_.settings.debug) prefix_ = "_dLn(" + std::to_string(s->pos.line) + "); ";
    switch (s->kind) {
        case StmtKind::If:
            EmitIf(s);
            break;
        case StmtKind::While:
            EmitWhile(s);
            break;
        case StmtKind::Repeat:
            EmitRepeat(s);
            break;
        case StmtKind::For:
            EmitFor(s);
            break;
        default:
            EmitSimple(s);
            break;
    }
}

// A statement without a body: its temporaries, if any, in a block of its own. Each
// statement is one line of C++, so a debugger shows one .vx line for all of it.
void Emitter::EmitSimple(const Stmt* s) {
    const int line = s->pos.line;
    pre_.clear();
    std::vector<std::string> out;
    switch (s->kind) {
        case StmtKind::Assign:
            EmitAssign(s, out);
            break;
        case StmtKind::Command:
            EmitCommand(s, out);
            break;
        case StmtKind::Break:
            out.push_back("break;");
            break;
        case StmtKind::Continue:
            out.push_back(continue_[s->loop]);
            break;
        case StmtKind::Goto:
            out.push_back("goto " + Lower(s->name) + "_Label;");
            break;
        case StmtKind::Gosub:
            out.push_back(Lower(s->name) + "_Sub();");
            break;
        case StmtKind::Return:
            out.push_back(main_ ? "return 0;" : "return;");
            break;
        case StmtKind::End:
            out.push_back("END();");
            break;
        case StmtKind::Dim:
            for (const Expr* e : s->args) {
                std::string sizes = Indices(e);
                out.push_back("ARY(" + e->sym->cname + ", " + std::to_string(e->args.size()) +
                              sizes + ");");
            }
            break;
        default:
            break;
    }
    if (out.empty() && pre_.empty()) {
        if (!prefix_.empty()) SLine(line, "");
        return;
    }
    for (std::string& o : out) pre_.push_back(o);
    bool block = pre_.size() > out.size();
    std::string text = Join(pre_);
    SLine(line, block ? "{ " + text + " }" : text);
}

std::string Emitter::Join(std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += (text.empty() ? "" : " ") + l;
    lines.clear();
    return text;
}

// ", i0, i1, ..., i7": an element's indices (or a DIM's sizes), 0 beyond its own.
std::string Emitter::Indices(const Expr* element) {
    std::string text;
    for (const Expr* index : element->args) text += ", " + Int(E(index));
    for (size_t i = element->args.size(); i < 8; ++i) text += ", 0";
    return text;
}

// True when `e` reads `sym` anywhere.
bool Reads(const Expr* e, const Symbol* sym) {
    if (!e) return false;
    if ((e->kind == ExprKind::Var || e->kind == ExprKind::Element) && e->sym == sym) return true;
    for (const Expr* a : e->args)
        if (Reads(a, sym)) return true;
    return Reads(e->lhs, sym) || Reads(e->rhs, sym);
}

void Emitter::EmitAssign(const Stmt* s, std::vector<std::string>& out) {
    const Expr* t = s->target;
    // x = x op ...: the operations work on x itself when nothing else reads it.
    inPlace_ = nullptr;
    if (t->kind == ExprKind::Var && s->value->kind == ExprKind::Binary) {
        const Expr* left = s->value;
        std::vector<const Expr*> rights;
        while (left->kind == ExprKind::Binary) {
            rights.push_back(left->rhs);
            left = left->lhs;
        }
        bool unread = true;
        for (const Expr* r : rights) unread = unread && !Reads(r, t->sym);
        if (unread && left->kind == ExprKind::Var && left->sym == t->sym) {
            inPlace_ = left;
        } else if (unread && t->sym->type == Type::Str && left->type == Type::Str &&
                   !Reads(left, t->sym)) {
            seed_ = left;
            seedTarget_ = t->sym->cname;
        }
    }
    Val v = E(s->value);
    inPlace_ = nullptr;
    seed_ = nullptr;
    if (t->kind == ExprKind::Var) {
        std::string code = t->sym->type == Type::Int ? Int(v)
                           : v.type == Type::Str     ? v.code
                                                     : Int(v);
        if (code == t->sym->cname) return;  // a variable given to itself
        out.push_back(t->sym->cname + " = " + code + ";");
        return;
    }
    std::string value;
    if (t->sym->type == Type::Int) {
        value = Int(v);
    } else if (v.type == Type::Str && (v.temp || v.var)) {
        value = v.code;
    } else {
        value = Temp(Type::Str, v.type == Type::Str ? v.code : Int(v));
    }
    std::string indices = Indices(t);
    out.push_back("PUTARR(" + value + ", " + std::to_string(t->args.size()) + ", " + t->sym->cname +
                  indices + ");");
}

void Emitter::EmitCommand(const Stmt* s, std::vector<std::string>& out) {
    const CommandForm& f = *s->form;
    std::string call = std::string(f.name) + "(";
    std::vector<std::string> after;
    for (int i = 0; i < f.argc; ++i) {
        const Expr* a = s->args[size_t(i)];
        std::string code;
        if (f.args[i] == ArgKind::IntVar || f.args[i] == ArgKind::StrVar) {
            if (a->kind == ExprKind::Var) {
                code = a->sym->cname;
            } else {
                // An element: read, handed over, written back.
                std::string indices = Indices(a);
                std::string n = std::to_string(a->args.size());
                code = Temp(a->sym->type, "");
                pre_.push_back("GETARR(" + code + ", " + n + ", " + a->sym->cname + indices + ");");
                after.push_back("PUTARR(" + code + ", " + n + ", " + a->sym->cname + indices +
                                ");");
            }
        } else if (f.args[i] == ArgKind::Int) {
            code = Int(E(a));
        } else {
            code = E(a).code;
        }
        call += (i ? ", " : "") + code;
    }
    out.push_back(call + ");");
    for (std::string& line : after) out.push_back(line);
}

void Emitter::EmitIf(const Stmt* s) {
    int opened = 0;  // blocks opened for conditions' temporaries
    for (size_t i = 0; i < s->conds.size(); ++i) {
        pre_.clear();
        Val c = EInt(s->conds[i]);
        std::string cond = Cond(c);
        int at = s->conds[i]->pos.line;
        if (pre_.empty()) {
            SLine(at, (i ? "} else if (" : "if (") + cond + ") {");
        } else {
            ++opened;
            SLine(at, (i ? "} else { " : "{ ") + Join(pre_) + " if (" + cond + ") {");
        }
        ++indent_;
        EmitBlock(s->blocks[i]);
        --indent_;
    }
    if (s->blocks.size() > s->conds.size()) {
        Line("} else {");
        ++indent_;
        EmitBlock(s->blocks.back());
        --indent_;
    }
    std::string close = "}";
    for (; opened > 0; --opened) close += " }";
    Line(close);
}

void Emitter::EmitWhile(const Stmt* s) {
    const int line = s->pos.line;
    pre_.clear();
    Val c = EInt(s->cond);
    std::string cond = Cond(c);
    continue_[s] = "continue;";
    if (pre_.empty())
        SLine(line, "while (" + cond + ") {");
    else
        SLine(line, "for (;;) { { " + Join(pre_) + " if (!(" + cond + ")) break; }");
    ++indent_;
    EmitBlock(s->body);
    --indent_;
    Line("}");
}

void Emitter::EmitRepeat(const Stmt* s) {
    pre_.clear();
    Val c = EInt(s->cond);
    std::string cond = Cond(c);
    std::vector<std::string> pre;
    pre.swap(pre_);
    const int line = s->cond->pos.line;  // the UNTIL's
    std::string next = "_next" + std::to_string(s->loopId);
    continue_[s] = pre.empty() ? "continue;" : "goto " + next + ";";
    SLine(s->pos.line, pre.empty() ? "do {" : "for (;;) {");
    ++indent_;
    EmitBlock(s->body);
    if (pre.empty()) {
        --indent_;
        SLine(line, "} while (!(" + cond + "));");
        return;
    }
    if (s->continued) Line(next + ":;");
    SLine(line, "{ " + Join(pre) + " if (" + cond + ") break; }");
    --indent_;
    Line("}");
}

// FOR: the end and the step are taken once. The step wraps like +; where the end
// and step do not show that it stays in range, the loop ends before it would wrap.
void Emitter::EmitFor(const Stmt* s) {
    const int line = s->pos.line;
    std::string id = std::to_string(s->loopId);
    std::string var = s->target->sym->cname;
    pre_.clear();
    std::string start = Int(E(s->value));
    pre_.push_back(var + " = " + start + ";");
    Val limit = E(s->limit);
    std::string end = limit.intLit ? limit.code : "_end" + id;
    if (!limit.intLit) pre_.push_back("const int " + end + " = " + Int(limit) + ";");
    bool stepKnown = true;
    int64_t stepValue = 1;
    std::string step = "1";
    if (s->step) {
        Val v = E(s->step);
        stepKnown = v.intLit;
        stepValue = v.value;
        step = v.intLit ? v.code : "_step" + id;
        if (!v.intLit) pre_.push_back("const int " + step + " = " + Int(v) + ";");
    }
    std::string cond =
        !stepKnown ? "(" + step + " >= 0 ? " + var + " <= " + end + " : " + var + " >= " + end + ")"
        : stepValue > 0 ? var + " <= " + end
                        : var + " >= " + end;
    bool safe = stepKnown && limit.intLit &&
                (stepValue > 0 ? limit.value + stepValue <= 2147483647
                               : limit.value + stepValue >= -2147483647 - 1);
    std::string next = "_next" + id;
    continue_[s] = safe ? "continue;" : "goto " + next + ";";
    std::string stepU = stepKnown && stepValue >= 0 ? step + "u" : "(unsigned)" + step;
    SLine(line, "{ " + Join(pre_) + " for (; " + cond + "; " + var + " = (int)((unsigned)" + var +
                    " + " + stepU + ")) {");
    ++indent_;
    EmitBlock(s->body);
    if (!safe) {
        if (s->continued) Line(next + ":;");
        std::string up = var + " > 2147483647 - " + step;
        std::string down = var + " < (-2147483647 - 1) - " + step;
        if (stepKnown)
            SLine(line, "if (" + (stepValue > 0 ? up : "(" + down + ")") + ") break;");
        else
            SLine(line, "if (" + step + " >= 0 ? " + up + " : " + down + ") break;");
    }
    --indent_;
    Line("} }");
}

std::string Emitter::Temp(Type type, const std::string& init) {
    std::string name = "_t" + std::to_string(temps_++);
    if (type == Type::Int)
        pre_.push_back("int " + name + " = " + (init.empty() ? "0" : init) + ";");
    else
        pre_.push_back("VXStr " + name + (init.empty() ? "" : " = " + init) + ";");
    return name;
}

std::string Emitter::Int(const Val& v) {
    if (v.cond) return "(" + v.code + " ? 1 : 0)";
    if (v.type == Type::Int) return v.code;
    if (v.strLit) return std::to_string(TextAsInt(v.text));
    return "(int)" + v.code;
}

// The value of `e` read as an integer, which is all a condition needs: a string
// comparison is then a plain test of Compare, with no temporary.
Val Emitter::EInt(const Expr* e) {
    if (e->kind != ExprKind::Binary || e->lhs->type != Type::Str) return E(e);
    static const char* const kTests[] = {"", "", "", "", "==", "!=", "<", ">", "<=", ">="};
    Val v;
    switch (e->op) {
        case Op::And:
        case Op::Or: {
            // int(AND(a$, b)) is int(a$) & b.
            Val l = EInt(e->lhs);
            Val r = EInt(e->rhs);
            v.code = "(" + Int(l) + (e->op == Op::And ? " & " : " | ") + Int(r) + ")";
            v.nest = std::max(l.nest, r.nest) + 1;
            v.nest = kMaxInline + 1;  // as in Binary
            return Spill(v);
        }
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Div:
            return E(e);
        default:
            break;
    }
    Val l = E(e->lhs);
    Val r = E(e->rhs);
    std::string left = l.strLit ? "VXStr(" + l.code + ")" : l.code;
    v.cond = true;
    if (r.type == Type::Str)
        v.code = left + ".Compare(" + r.code + ") " + kTests[int(e->op)] + " 0";
    else
        v.code = Int(l) + " " + kTests[int(e->op)] + " " + Int(r);
    v.nest = std::max(l.nest, r.nest) + 1;
    return Spill(v);
}

std::string Emitter::Cond(const Val& v) {
    if (v.cond) return v.code;
    return Int(v) + " != 0";
}

Val Emitter::Spill(Val v) {
    if (v.nest <= kMaxInline) return v;
    Val t;
    t.code = Temp(Type::Int, Int(v));
    t.temp = true;
    return t;
}

Val Emitter::E(const Expr* e) {
    if (e == seed_) {
        seed_ = nullptr;
        Val first = E(e);
        pre_.push_back(seedTarget_ + " = " + first.code + ";");
        Val v;
        v.type = Type::Str;
        v.code = seedTarget_;
        v.temp = true;
        v.var = true;
        return v;
    }
    Val v;
    v.type = e->type;
    switch (e->kind) {
        case ExprKind::IntLit:
            v.intLit = true;
            v.value = e->value;
            // Hex stays hex (colours read better so), within the int range.
            if (e->text.size() > 2 && (e->text[1] == 'x' || e->text[1] == 'X') && e->value >= 0)
                v.code = e->text;
            else
                v.code = IntText(e->value);
            return v;
        case ExprKind::StrLit:
            v.strLit = true;
            v.text = e->text;
            v.code = CppString(e->text);
            return v;
        case ExprKind::Var:
            v.var = true;
            v.temp = e == inPlace_;
            v.code = e->sym->cname;
            return v;
        case ExprKind::Element: {
            std::string indices = Indices(e);
            v.code = Temp(e->type, "");
            pre_.push_back("GETARR(" + v.code + ", " + std::to_string(e->args.size()) + ", " +
                           e->sym->cname + indices + ");");
            v.temp = true;
            return v;
        }
        case ExprKind::Call: {
            std::string args;
            int nest = 0;
            for (const Expr* a : e->args) {
                Val av = E(a);
                nest = std::max(nest, av.nest);
                args += (args.empty() ? "" : ", ") + Int(av);
            }
            v.code = std::string(e->form->name) + "(" + args + ")";
            v.nest = nest + 1;
            return Spill(v);
        }
        case ExprKind::Neg: {
            Val a = E(e->lhs);
            if (a.intLit && a.value != -2147483647 - 1) {
                v.intLit = true;
                v.value = -a.value;
                v.code = IntText(v.value);
                return v;
            }
            v.code = "(int)(0u - (unsigned)" + Int(a) + ")";
            v.nest = a.nest + 1;
            return Spill(v);
        }
        case ExprKind::Not: {
            Val a = E(e->lhs);
            v.cond = true;
            v.code = a.cond ? "!(" + a.code + ")" : Int(a) + " == 0";
            v.nest = a.nest + 1;
            return Spill(v);
        }
        case ExprKind::Binary:
            return Binary(e);
    }
    return v;
}

Val Emitter::Binary(const Expr* e) {
    Val l = E(e->lhs);
    // Where the right operand is read as an integer, it is evaluated as one.
    bool asInt = l.type == Type::Int || e->op == Op::And || e->op == Op::Or;
    Val r = asInt ? EInt(e->rhs) : E(e->rhs);
    Val v;
    v.type = e->type;
    static const char* const kOps[] = {
        "+", "-", "*", "/", "==", "!=", "<", ">", "<=", ">=", "&", "|"};
    static const char* const kRuntime[] = {"",       "SUB",    "MUL",     "DIV",    "SAME", "NSAME",
                                           "SMALER", "BIGGER", "SMAL_EQ", "BIG_EQ", "AND",  "OR"};
    int op = int(e->op);
    if (l.type == Type::Int) {
        std::string a = Int(l), b = Int(r);
        v.nest = std::max(l.nest, r.nest) + 1;
        switch (e->op) {
            case Op::Add:
            case Op::Sub:
            case Op::Mul: {
                std::string ua = l.intLit && l.value >= 0 ? a + "u" : "(unsigned)" + a;
                std::string ub = r.intLit && r.value >= 0 ? b + "u" : "(unsigned)" + b;
                v.code = "(int)(" + ua + " " + kOps[op] + " " + ub + ")";
                return Spill(v);
            }
            case Op::Div: {
                // By a literal other than 0 and -1 nothing can fail or overflow.
                if (r.intLit && r.value != 0 && r.value != -1) {
                    v.code = "(" + a + " / " + b + ")";
                    return Spill(v);
                }
                // The runtime's DIV records error 6 and keeps the left operand.
                std::string t = l.temp && !l.cond ? l.code : Temp(Type::Int, a);
                pre_.push_back("DIV(" + t + ", " + b + ");");
                v.code = t;
                v.temp = true;
                v.nest = 0;
                return v;
            }
            case Op::And:
            case Op::Or:
                v.code = "(" + a + " " + kOps[op] + " " + b + ")";
                // Compilers judge comparisons of bitwise results whose operands
                // fold to constants ("always true"): the result goes into a temporary.
                v.nest = kMaxInline + 1;
                return Spill(v);
            default:
                if (a == b) {
                    // Comparing a thing with itself: the runtime's function, which a
                    // compiler does not warn about.
                    std::string t = Temp(Type::Int, a);
                    pre_.push_back(std::string(kRuntime[op]) + "(" + t + ", " + b + ");");
                    v.code = t;
                    v.temp = true;
                    v.nest = 0;
                    return v;
                }
                v.cond = true;
                v.code = a + " " + kOps[op] + " " + b;
                return Spill(v);
        }
    }
    // A string on the left: the runtime's functions on a copy.
    std::string t = l.temp ? l.code : Temp(Type::Str, l.code);
    std::string b = r.type == Type::Str ? r.code : Int(r);
    switch (e->op) {
        case Op::Add:
            pre_.push_back(t + " += " + b + ";");
            break;
        case Op::And:
        case Op::Or:
            pre_.push_back(std::string(kRuntime[op]) + "(" + t + ", " + Int(r) + ");");
            break;
        default:
            pre_.push_back(std::string(kRuntime[op]) + "(" + t + ", " + b + ");");
            break;
    }
    v.code = t;
    v.temp = true;
    return v;
}

}  // namespace

std::string Emit(const Program& program, const std::string& fileName) {
    return Emitter(program, fileName).Run();
}

}  // namespace vxc

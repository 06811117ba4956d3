// The parser's expressions: precedence climbing, one function per level, each under
// the grammar rule it reads. Statements are in parser.cpp.
#include <algorithm>

#include "parser.h"

namespace vxc {

Expr* Parser::Binary(Op op, const Pos& pos, Expr* lhs, Expr* rhs) {
    if (!lhs || !rhs) return nullptr;
    Expr* e = program_.NewExpr(ExprKind::Binary, pos);
    e->op = op;
    e->lhs = lhs;
    e->rhs = rhs;
    e->depth = std::max(lhs->depth, rhs->depth) + 1;
    if (e->depth > kMaxExprDepth) {
        Fail(pos, "expression deeper than " + std::to_string(kMaxExprDepth) +
                      " levels; split it into several statements");
        return nullptr;
    }
    return e;
}

// expr = and { OR and }
Expr* Parser::ParseExpr() {
    Expr* e = ParseAnd();
    while (e && tok_.kind == Tok::Or) {
        Pos pos = tok_.pos;
        Advance();
        e = Binary(Op::Or, pos, e, ParseAnd());
    }
    return e;
}

// and = not { AND not }
Expr* Parser::ParseAnd() {
    Expr* e = ParseNot();
    while (e && tok_.kind == Tok::And) {
        Pos pos = tok_.pos;
        Advance();
        e = Binary(Op::And, pos, e, ParseNot());
    }
    return e;
}

// not = NOT not | compare
Expr* Parser::ParseNot() {
    if (tok_.kind != Tok::Not) return ParseCompare();
    Pos pos = tok_.pos;
    Advance();
    if (!Enter()) return nullptr;
    Expr* operand = ParseNot();
    Leave();
    if (!operand) return nullptr;
    Expr* e = program_.NewExpr(ExprKind::Not, pos);
    e->lhs = operand;
    e->depth = operand->depth + 1;
    return e;
}

// compare = additive { ( "=" | "<>" | "<" | ">" | "<=" | ">=" ) additive }
Expr* Parser::ParseCompare() {
    Expr* e = ParseAdditive();
    for (;;) {
        Op op;
        switch (tok_.kind) {
            case Tok::Eq:
                op = Op::Eq;
                break;
            case Tok::Ne:
                op = Op::Ne;
                break;
            case Tok::Lt:
                op = Op::Lt;
                break;
            case Tok::Gt:
                op = Op::Gt;
                break;
            case Tok::Le:
                op = Op::Le;
                break;
            case Tok::Ge:
                op = Op::Ge;
                break;
            default:
                return e;
        }
        if (!e) return nullptr;
        Pos pos = tok_.pos;
        Advance();
        e = Binary(op, pos, e, ParseAdditive());
    }
}

// additive = term { ( "+" | "-" ) term }
Expr* Parser::ParseAdditive() {
    Expr* e = ParseTerm();
    while (e && (tok_.kind == Tok::Plus || tok_.kind == Tok::Minus)) {
        Op op = tok_.kind == Tok::Plus ? Op::Add : Op::Sub;
        Pos pos = tok_.pos;
        Advance();
        e = Binary(op, pos, e, ParseTerm());
    }
    return e;
}

// term = unary { ( "*" | "/" ) unary }
Expr* Parser::ParseTerm() {
    Expr* e = ParseUnary();
    while (e && (tok_.kind == Tok::Star || tok_.kind == Tok::Slash)) {
        Op op = tok_.kind == Tok::Star ? Op::Mul : Op::Div;
        Pos pos = tok_.pos;
        Advance();
        e = Binary(op, pos, e, ParseUnary());
    }
    return e;
}

// unary = "-" unary | NOT unary | primary
// (NOT after an operator binds to its operand alone: x + NOT y.)
Expr* Parser::ParseUnary() {
    if (tok_.kind == Tok::Not) {
        Pos pos = tok_.pos;
        Advance();
        if (!Enter()) return nullptr;
        Expr* operand = ParseUnary();
        Leave();
        if (!operand) return nullptr;
        Expr* e = program_.NewExpr(ExprKind::Not, pos);
        e->lhs = operand;
        e->depth = operand->depth + 1;
        return e;
    }
    if (tok_.kind != Tok::Minus) return ParsePrimary();
    Pos pos = tok_.pos;
    Advance();
    if (!Enter()) return nullptr;
    // -2147483648 is a number of its own, as its positive half has no int.
    if (tok_.kind == Tok::Integer && tok_.value == 2147483648u && tok_.text.size() > 0 &&
        tok_.text[0] != '0') {
        Expr* e = program_.NewExpr(ExprKind::IntLit, pos);
        e->value = -2147483647 - 1;
        Advance();
        Leave();
        return e;
    }
    Expr* operand = ParseUnary();
    Leave();
    if (!operand) return nullptr;
    Expr* e = program_.NewExpr(ExprKind::Neg, pos);
    e->lhs = operand;
    e->depth = operand->depth + 1;
    return e;
}

// primary = Integer | String | "(" expr ")" | name "(" [ expr { "," expr } ] ")"
//         | name { "[" expr "]" }
Expr* Parser::ParsePrimary() {
    Pos pos = tok_.pos;
    switch (tok_.kind) {
        case Tok::Integer: {
            Expr* e = program_.NewExpr(ExprKind::IntLit, pos);
            bool hex = tok_.text.size() > 1 && (tok_.text[1] == 'x' || tok_.text[1] == 'X');
            if (tok_.value > (hex ? 4294967295u : 2147483647u)) {
                Fail(pos, "number out of range (integers are 32-bit)");
                return nullptr;
            }
            // Hex numbers are bit patterns: 0xFFFFFFFF is -1.
            e->value = int64_t(int32_t(uint32_t(tok_.value)));
            e->text = tok_.text;
            Advance();
            return e;
        }
        case Tok::String: {
            if (tok_.text.size() > 1022) {
                Fail(pos, "string longer than 1022 characters, the most a string holds");
                return nullptr;
            }
            Expr* e = program_.NewExpr(ExprKind::StrLit, pos);
            e->text = tok_.text;
            Advance();
            return e;
        }
        case Tok::LParen: {
            if (!Enter()) return nullptr;
            Advance();
            Expr* e = ParseExpr();
            Leave();
            if (!e) return nullptr;
            if (!Expect(Tok::RParen, "')'")) return nullptr;
            return e;
        }
        case Tok::Name:
            return ParseNameExpr();
        default:
            Unexpected("an expression");
            return nullptr;
    }
}

// A variable, an element or a call; the name is the current token.
Expr* Parser::ParseNameExpr() {
    Pos pos = tok_.pos;
    std::string name = tok_.text;
    bool str = tok_.str;
    Advance();
    if (tok_.kind == Tok::LParen && !str) {
        Expr* e = program_.NewExpr(ExprKind::Call, pos);
        e->text = name;
        Advance();
        if (!Enter()) return nullptr;
        if (tok_.kind != Tok::RParen) {
            do {
                Expr* a = ParseExpr();
                if (!a) {
                    Leave();
                    return nullptr;
                }
                e->depth = std::max(e->depth, a->depth + 1);
                e->args.push_back(a);
            } while (Accept(Tok::Comma));
        }
        Leave();
        if (!Expect(Tok::RParen, "')'")) return nullptr;
        return e;
    }
    if (tok_.kind == Tok::LBracket) {
        Expr* e = program_.NewExpr(ExprKind::Element, pos);
        e->text = name;
        e->str = str;
        if (!Enter()) return nullptr;
        while (Accept(Tok::LBracket)) {
            if (e->args.size() == 8) {
                Leave();
                Fail(pos, "arrays have at most 8 dimensions");
                return nullptr;
            }
            Expr* a = ParseExpr();
            if (!a || !Expect(Tok::RBracket, "']'")) {
                Leave();
                return nullptr;
            }
            e->depth = std::max(e->depth, a->depth + 1);
            e->args.push_back(a);
        }
        Leave();
        return e;
    }
    Expr* e = program_.NewExpr(ExprKind::Var, pos);
    e->text = name;
    e->str = str;
    return e;
}

}  // namespace vxc

// Statement texts adapted for the PostgreSQL server (no server needed).
#include "dbaccess/pg/pg_dialect.h"

#include <gtest/gtest.h>

#include "dbaccess/pg/pg_connection.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

using db::pg::AdaptForServer;
using db::pg::LikePatternToRegex;

// Letters match in both cases, ASCII and Latin-1 ones, spelt out in the
// expression so that the server's collation does not matter.
TEST(PgDialect, OldLikePatternsBecomeAnchoredRegularExpressions) {
  EXPECT_EQ(LikePatternToRegex("123*"), "^123.*$");
  EXPECT_EQ(LikePatternToRegex("a?c#"), "^[aA].[cC][0-9]$");
  EXPECT_EQ(LikePatternToRegex("ñÚ×ÿß"), "^[ñÑ][úÚ]×[ÿŸ]ß$");
  // Lists: the capitals that fold into a range stand beside it.
  EXPECT_EQ(LikePatternToRegex("[a-c]x[!0-9]"), "^[a-cABC][xX][^0-9]$");
  EXPECT_EQ(LikePatternToRegex("[@-B]"), "^[@\\[-bAB]$");
  EXPECT_EQ(LikePatternToRegex("[à-á]"), "^[à-áÀÁ]$");
  // Ends are folded first: Y-b is a reversed range, which matches nothing.
  EXPECT_EQ(LikePatternToRegex("[Y-b]"), "^(?!)$");
  EXPECT_EQ(LikePatternToRegex("[!Y-b]"), "^.$");
  // % and _ are plain characters, as are the regular expression's own.
  EXPECT_EQ(LikePatternToRegex("50%_.(9)+$^|\\"), "^50%_\\.\\(9\\)\\+\\$\\^\\|\\\\$");
  // A list may hold the wildcards themselves; an unclosed bracket is a bracket.
  EXPECT_EQ(LikePatternToRegex("[*?#]"), "^[*?#]$");
  EXPECT_EQ(LikePatternToRegex("[^\\-]"), "^[\\^\\\\\\-]$");
  EXPECT_EQ(LikePatternToRegex("1[2"), "^1\\[2$");
  EXPECT_EQ(LikePatternToRegex("[!]"), "^[!]$");
}

TEST(PgDialect, TopLikeAndAliasesAreAdaptedOutsideLiterals) {
  auto s = AdaptForServer(
      "Select TOP 4 CSDE AS Clave From TDeclarante Where dni_cifd like 'O''1*' order by CSDE desc "
      "-- closing note");
  EXPECT_EQ(s.sql,
            "Select CSDE AS Clave From TDeclarante Where dni_cifd::text COLLATE \"C\" ~ "
            "'^[oO]''1.*$' order by CSDE desc "
            "LIMIT 4");
  EXPECT_EQ(s.aliases, std::vector<std::string>{"Clave"});
  EXPECT_EQ(AdaptForServer("select a from t where b not  like '9?'").sql,
            "select a from t where b::text COLLATE \"C\" !~ '^9.$'");
  EXPECT_EQ(AdaptForServer("update t set a = 'top 3 like ''*''' where b like c").sql,
            "update t set a = 'top 3 like ''*''' where b::text COLLATE \"C\" ILIKE c");
  // A pattern built by concatenation is left to the server's own matching.
  EXPECT_EQ(AdaptForServer("select a from t where b like 'P' || c").sql,
            "select a from t where b::text COLLATE \"C\" ILIKE 'P' || c");
  EXPECT_EQ(AdaptForServer("SELECT DISTINCT TOP 1 a FROM t;").sql,
            "SELECT DISTINCT a FROM t LIMIT 1");
}

// Only a number with a fraction that is a whole stored value is quoted:
// not one inside an expression, a condition or a whole number.
TEST(PgDialect, AFractionStoredIntoAColumnIsQuotedForTheColumnToRead) {
  EXPECT_EQ(
      AdaptForServer("INSERT INTO t (a, b, c) VALUES (12.5, f(1.5, 2), - 0.25 ), (.5, 2.0, 1e-3)")
          .sql,
      "INSERT INTO t (a, b, c) VALUES ('12.5', f(1.5, 2), '-0.25' ), ('.5', 2.0, '1e-3')");
  EXPECT_EQ(AdaptForServer("update t set a = 1.5, b=2.50,c = a + 0.5 where d = 0.5").sql,
            "update t set a = '1.5', b='2.50',c = a + 0.5 where d = 0.5");
  for (const char* kept : {"INSERT INTO t SELECT 1.5", "SELECT 1.5 FROM t WHERE a = 2.5",
                           "DELETE FROM t WHERE a = 1.5", "UPDATE t SET a = 15E-1 * 2"})
    EXPECT_EQ(AdaptForServer(kept).sql, kept);
  EXPECT_EQ(AdaptForServer("INSERT INTO t VALUES (?, f(?), ?)").storedParams,
            (std::vector<bool>{true, false, true}));
  EXPECT_EQ(AdaptForServer("UPDATE t SET a = ?, b = ? + 1 WHERE c = ?").storedParams,
            (std::vector<bool>{true, false, false}));
}

TEST(PgDialect, APlainSelectOfOneTableWithACounterReadsInKeyOrder) {
  EXPECT_EQ(AdaptForServer("select csdo, NIF from tOperadores where CSCI = 3").sql,
            "select csdo, NIF from tOperadores where CSCI = 3 ORDER BY CSDO");
  EXPECT_EQ(AdaptForServer("SELECT TOP 1 * FROM TDeclarante AS d;").sql,
            "SELECT * FROM TDeclarante AS d ORDER BY CSDE LIMIT 1");
  for (const char* kept :
       {"SELECT * FROM tdpfe WHERE CSCI = 1", "SELECT count(*) FROM tOperadores",
        "SELECT a.* FROM toperadores as a left join tdpfr as b on a.csdo = b.csdo",
        "SELECT * FROM tOperadores, tdpfe", "SELECT * FROM tOperadores ORDER BY NIF",
        "SELECT * FROM tOperadores WHERE CSCI IN (SELECT CSCI FROM TDeclaraciones)"})
    EXPECT_EQ(AdaptForServer(kept).sql, kept);
}

TEST(PgDialect, OneStatementPerText) {
  ExpectError(err::kInvalidOperation, [] { AdaptForServer("DELETE FROM t; DELETE FROM u"); });
  ExpectError(err::kInvalidOperation, [] { AdaptForServer("SELECT 1;;"); });
  ExpectError(err::kSyntax, [] { AdaptForServer(" ; "); });
  // Semicolons inside literals, quoted names and comments do not end it.
  EXPECT_NO_THROW(AdaptForServer("SELECT 'a;b', \"x;y\" FROM t /* ; */ ; -- ; DROP"));
}

TEST(PgDialect, ServerAddressesAreToldFromFilePaths) {
  EXPECT_TRUE(db::pg::IsServerAddress("postgresql://u@/db?host=/tmp"));
  EXPECT_TRUE(db::pg::IsServerAddress("postgres://h/db"));
  EXPECT_TRUE(db::pg::IsServerAddress("host=/tmp dbname=x"));
  EXPECT_TRUE(db::pg::IsServerAddress(" dbname = x"));
  EXPECT_FALSE(db::pg::IsServerAddress("/tmp/usuario.db"));
  EXPECT_FALSE(db::pg::IsServerAddress("usuario.db"));
  EXPECT_FALSE(db::pg::IsServerAddress("/tmp/a=b/usuario.db"));
  EXPECT_FALSE(db::pg::IsServerAddress(""));
}

}  // namespace
}  // namespace kolvar::testing

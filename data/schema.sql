-- Company database schema of the customer sale price module: the price tables
-- it owns, the base data, rights and option tables it reads, and the numbering
-- table behind GetICMaxNum.
--
-- Loaded with sqlite3_exec on a connection that has the T-SQL layer's
-- collation ORVA_CI registered (case-insensitive, trailing blanks ignored, as
-- the usual SQL Server company collations compare text). Every text column
-- carries it, so '=', ORDER BY, DISTINCT, GROUP BY and the indexes compare
-- text the way the module's statements expect.
--
-- Types: names that SQL Server and SQLite both accept. Amounts, quantities,
-- rates and coefficients are FLOAT, so SQLite keeps them as reals (a NUMERIC
-- column would store 80.0 as the integer 80 and make 80/3 = 26). Dates are
-- DATETIME columns holding 'yyyy-mm-dd' text and compare as text. FBrNo is
-- always '0'.
--
-- Identifiers: t_Item.FItemID is one number space for every item class
-- (customers, items, their groups, units, departments, ...); the class tables
-- (t_Organization, t_ICItem, t_MeasureUnit, ...) use the same FItemID as their
-- t_Item row. Currencies have their own numbers (t_Currency.FCurrencyID).
-- Users and groups share one number space (t_User), so t_ItemRight.FUserID
-- and t_OrvaAccessRight.FUserID may name either.
--
-- Columns are named so that the module's joins never meet an ambiguous
-- unqualified name: FLevel exists only in t_Item, FEntryID only in
-- t_CustEntry.

-- ---------------------------------------------------------------------------
-- Price entries: one row per customer, item, unit, quantity band, currency and
-- validity period.
CREATE TABLE IF NOT EXISTS t_CustEntry (
    FBrNo VARCHAR(10) COLLATE ORVA_CI NOT NULL DEFAULT '0',
    FEntryID INTEGER NOT NULL PRIMARY KEY,
    FCustID INT NOT NULL,
    FItemID INT NOT NULL,
    FUnitID INT NOT NULL DEFAULT 0,
    FStartQty FLOAT NOT NULL DEFAULT 0,
    FEndQty FLOAT NOT NULL DEFAULT 0,
    FPrice FLOAT NOT NULL DEFAULT 0,
    FCyID INT NOT NULL DEFAULT 1,
    FDiscount FLOAT NOT NULL DEFAULT 0,
    FLeadTime INT NOT NULL DEFAULT 0,
    FQuoteTime DATETIME,
    FExpireDate DATETIME,
    FUsed INT NOT NULL DEFAULT 0,
    FNote NVARCHAR(255) COLLATE ORVA_CI DEFAULT ''
);
CREATE UNIQUE INDEX IF NOT EXISTS ux_CustEntry_Key ON t_CustEntry
    (FItemID, FCustID, FUnitID, FStartQty, FEndQty, FCyID, FQuoteTime, FExpireDate);
CREATE INDEX IF NOT EXISTS ix_CustEntry_CustItem ON t_CustEntry (FCustID, FItemID);

-- Customer-item header rows: one per customer and item that has price
-- entries, holding the customer-level minimum sale price. A row inserted with
-- only FBrNo, FItemID and FCustID gets currency 1 and minimum price 0.
CREATE TABLE IF NOT EXISTS t_Cust (
    FBrNo VARCHAR(10) COLLATE ORVA_CI NOT NULL DEFAULT '0',
    FItemID INT NOT NULL,
    FCustID INT NOT NULL,
    FCurrencyID INT NOT NULL DEFAULT 1,
    FSELowPrice FLOAT NOT NULL DEFAULT 0,
    PRIMARY KEY (FItemID, FCustID)
);
CREATE INDEX IF NOT EXISTS ix_Cust_Cust ON t_Cust (FCustID);

-- ---------------------------------------------------------------------------
-- Base data common to every item class. FItemClassID: 1 customers,
-- 2 departments, 3 employees, 4 items, 5 stocks, 7 units of measure,
-- 8 suppliers, 9 expense items. FDetail 1 a record, 0 a group; FLevel the
-- depth (1 at the top); FParentID the group (0 at the top). Codes are
-- hierarchical with '.' between levels: a record's group is the row whose
-- FNumber is the record's FNumber without its last segment.
CREATE TABLE IF NOT EXISTS t_Item (
    FItemID INTEGER NOT NULL PRIMARY KEY,
    FItemClassID INT NOT NULL,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FShortNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FName NVARCHAR(255) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FFullName NVARCHAR(255) COLLATE ORVA_CI DEFAULT '',
    FParentID INT NOT NULL DEFAULT 0,
    FLevel INT NOT NULL DEFAULT 1,
    FDetail INT NOT NULL DEFAULT 1,
    FDeleted INT NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX IF NOT EXISTS ux_Item_ClassNumber ON t_Item (FItemClassID, FNumber);
CREATE INDEX IF NOT EXISTS ix_Item_ClassDetailNumber ON t_Item (FItemClassID, FDetail, FNumber);
CREATE INDEX IF NOT EXISTS ix_Item_Parent ON t_Item (FParentID);
CREATE INDEX IF NOT EXISTS ix_Item_Number ON t_Item (FNumber);
CREATE INDEX IF NOT EXISTS ix_Item_ShortNumber ON t_Item (FShortNumber);

-- Customers (records of class 1 only; their groups are in t_Item).
CREATE TABLE IF NOT EXISTS t_Organization (
    FItemID INTEGER NOT NULL PRIMARY KEY,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FShortNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FName NVARCHAR(255) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FParentID INT NOT NULL DEFAULT 0,
    FAddress NVARCHAR(255) COLLATE ORVA_CI DEFAULT '',
    FPhone VARCHAR(40) COLLATE ORVA_CI DEFAULT '',
    FContact NVARCHAR(80) COLLATE ORVA_CI DEFAULT '',
    FDeleted INT NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS ix_Organization_Number ON t_Organization (FNumber);
CREATE INDEX IF NOT EXISTS ix_Organization_ShortNumber ON t_Organization (FShortNumber);
CREATE INDEX IF NOT EXISTS ix_Organization_Parent ON t_Organization (FParentID);

-- Items (records of class 4 only; their groups are in t_Item). FErpClsID is
-- the property class: 1 purchased, 2 self-made, 3 outsourced, 5 virtual,
-- 6 planning, 7 configuration, 8 feature; classes 6 and 8 carry no prices.
-- FSalePriceFixingType 1: the item-level minimum price FSoLowPrc (currency
-- FSoLowPrcMnyType) applies to every customer; 0 or Null: t_Cust's applies.
CREATE TABLE IF NOT EXISTS t_ICItem (
    FItemID INTEGER NOT NULL PRIMARY KEY,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FShortNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FName NVARCHAR(255) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FModel NVARCHAR(255) COLLATE ORVA_CI DEFAULT '',
    FParentID INT NOT NULL DEFAULT 0,
    FErpClsID INT NOT NULL DEFAULT 1,
    FUnitID INT NOT NULL DEFAULT 0,
    FUnitGroupID INT NOT NULL DEFAULT 0,
    FQtyDecimal INT DEFAULT 4,
    FPriceDecimal INT DEFAULT 2,
    FSalePriceFixingType INT DEFAULT 0,
    FSoLowPrc FLOAT DEFAULT 0,
    FSoLowPrcMnyType INT DEFAULT 1,
    FDeleted INT NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS ix_ICItem_Number ON t_ICItem (FNumber);
CREATE INDEX IF NOT EXISTS ix_ICItem_ShortNumber ON t_ICItem (FShortNumber);
CREATE INDEX IF NOT EXISTS ix_ICItem_Parent ON t_ICItem (FParentID);
CREATE INDEX IF NOT EXISTS ix_ICItem_Unit ON t_ICItem (FUnitID);

-- Unit groups and units of measure. FMeasureUnitID = FItemID. FCoefficient is
-- the quantity of the group's base unit in one of this unit (1 for the base).
CREATE TABLE IF NOT EXISTS t_UnitGroup (
    FUnitGroupID INTEGER NOT NULL PRIMARY KEY,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FName NVARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FDefaultUnitID INT NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS t_MeasureUnit (
    FItemID INTEGER NOT NULL PRIMARY KEY,
    FMeasureUnitID INT NOT NULL,
    FUnitGroupID INT NOT NULL,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FShortNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FName NVARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FCoefficient FLOAT NOT NULL DEFAULT 1,
    FDeleted INT NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX IF NOT EXISTS ux_MeasureUnit_ID ON t_MeasureUnit (FMeasureUnitID);
CREATE INDEX IF NOT EXISTS ix_MeasureUnit_Group ON t_MeasureUnit (FUnitGroupID);

-- Currencies. An amount converts into the base currency (rate 1) by
-- multiplying with FExchangeRate when FOperator is '*', else by dividing.
CREATE TABLE IF NOT EXISTS t_Currency (
    FCurrencyID INTEGER NOT NULL PRIMARY KEY,
    FNumber VARCHAR(40) COLLATE ORVA_CI NOT NULL,
    FName NVARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FOperator VARCHAR(1) COLLATE ORVA_CI NOT NULL DEFAULT '*',
    FExchangeRate FLOAT NOT NULL DEFAULT 1,
    FScale INT NOT NULL DEFAULT 2,
    FDeleted INT NOT NULL DEFAULT 0
);

-- Further base data read by the editor's lookups and name checks.
CREATE TABLE IF NOT EXISTS t_Department (
    FItemID INTEGER NOT NULL PRIMARY KEY,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FShortNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FName NVARCHAR(255) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FParentID INT NOT NULL DEFAULT 0,
    FDeleted INT NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS t_Emp (
    FItemID INTEGER NOT NULL PRIMARY KEY,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FShortNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FName NVARCHAR(255) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FParentID INT NOT NULL DEFAULT 0,
    FDepartmentID INT NOT NULL DEFAULT 0,
    FDeleted INT NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS t_Stock (
    FItemID INTEGER NOT NULL PRIMARY KEY,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FShortNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FName NVARCHAR(255) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FParentID INT NOT NULL DEFAULT 0,
    FDeleted INT NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS t_Exp (
    FItemID INTEGER NOT NULL PRIMARY KEY,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FShortNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FName NVARCHAR(255) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FParentID INT NOT NULL DEFAULT 0,
    FDeleted INT NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS t_Supplier (
    FItemID INTEGER NOT NULL PRIMARY KEY,
    FNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FShortNumber VARCHAR(80) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FName NVARCHAR(255) COLLATE ORVA_CI NOT NULL DEFAULT '',
    FParentID INT NOT NULL DEFAULT 0,
    FDeleted INT NOT NULL DEFAULT 0
);

-- ---------------------------------------------------------------------------
-- Users and groups (one number space). FIsGroup 1 marks a group. Group 1 is
-- the administrators' group, group 0 the everyone group that never holds
-- rights. FDataVokeType odd: data rights are enforced for the user.
CREATE TABLE IF NOT EXISTS t_User (
    FUserID INTEGER NOT NULL PRIMARY KEY,
    FName NVARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FDescription NVARCHAR(255) COLLATE ORVA_CI DEFAULT '',
    FIsGroup INT NOT NULL DEFAULT 0,
    FDataVokeType INT NOT NULL DEFAULT 0,
    FForbidden INT NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX IF NOT EXISTS ux_User_Name ON t_User (FName);

-- Memberships: one row per user and group.
CREATE TABLE IF NOT EXISTS t_Group (
    FGroupID INT NOT NULL,
    FUserID INT NOT NULL,
    PRIMARY KEY (FGroupID, FUserID)
);
CREATE INDEX IF NOT EXISTS ix_Group_User ON t_Group (FUserID);

-- Data rights: user or group FUserID may see record FItemID of rights type
-- FTypeID (1 customers, 4 items: a record or a group; 120 currencies).
CREATE TABLE IF NOT EXISTS t_ItemRight (
    FUserID INT NOT NULL,
    FTypeID INT NOT NULL,
    FItemID INT NOT NULL,
    PRIMARY KEY (FUserID, FTypeID, FItemID)
);
CREATE INDEX IF NOT EXISTS ix_ItemRight_Item ON t_ItemRight (FItemID);

-- Per user and item class: bit 4 of FUserItemClassRight makes that class's
-- data rights group-level (a record is seen when its group is granted).
CREATE TABLE IF NOT EXISTS t_UserItemClassRight (
    FUserID INT NOT NULL,
    FItemClassID INT NOT NULL,
    FUserItemClassRight INT NOT NULL DEFAULT 0,
    PRIMARY KEY (FUserID, FItemClassID)
);

-- Function rights consulted by the general-ledger data object's AccessCheck
-- (object, index, right bit). A row grants the bits of FRights on (FObjectID,
-- FIndex) to a user or a group; a user holds the bits of its own rows and of
-- the rows of its groups (group 0 excepted); members of group 1 hold every
-- right. Objects: 1099 and 107 (index 6) the price module's commands, with
-- bits 0x1 audit, 0x8000 print, 0x10000 delete, 0x20000 add, 0x400000
-- modify; 3 the base data of item class FIndex, bit 0x100000 read.
CREATE TABLE IF NOT EXISTS t_OrvaAccessRight (
    FUserID INT NOT NULL,
    FObjectID INT NOT NULL,
    FIndex INT NOT NULL,
    FRights INT NOT NULL DEFAULT 0,
    PRIMARY KEY (FUserID, FObjectID, FIndex)
);

-- ---------------------------------------------------------------------------
-- System options: "UseShortNumber" (category IC), "AlertSELowPrice",
-- "BatchAuditSalePrice".
CREATE TABLE IF NOT EXISTS t_SystemProfile (
    FCategory VARCHAR(40) COLLATE ORVA_CI NOT NULL,
    FKey VARCHAR(80) COLLATE ORVA_CI NOT NULL,
    FValue NVARCHAR(255) COLLATE ORVA_CI DEFAULT '',
    FDescription NVARCHAR(255) COLLATE ORVA_CI DEFAULT '',
    PRIMARY KEY (FCategory, FKey)
);
CREATE INDEX IF NOT EXISTS ix_SystemProfile_Key ON t_SystemProfile (FKey);

-- Numbering behind GetICMaxNum: FMaxNum is the highest number handed out for
-- the table key ("t_Cust" numbers t_CustEntry.FEntryID).
CREATE TABLE IF NOT EXISTS t_ICMaxNum (FTableName VARCHAR(50) COLLATE ORVA_CI NOT NULL PRIMARY KEY, FMaxNum INTEGER NOT NULL);

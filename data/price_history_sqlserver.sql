-- Price history for a company database on SQL Server (2019 or later: the
-- hash is taken over UTF-8 text). Run once by the database's administrator,
-- e.g.  sqlcmd -S server -d company -i price_history_sqlserver.sql
-- It adds the append-only table t_CustEntryHistory and the triggers that
-- write it for every change of t_CustEntry and of t_Cust's minimum price,
-- whoever makes it, and refuse UPDATE and DELETE of history rows. The rows
-- and their hash chain are the same as on SQLite and PostgreSQL, so
-- `orva-sql DB --verify-history` checks them. The module's user comes from
-- the session context key 'orva.user' (sp_set_session_context), the batch
-- from 'orva.batch' or else the transaction.

IF OBJECT_ID(N't_CustEntryHistory', N'U') IS NULL
CREATE TABLE t_CustEntryHistory (
    FHistID BIGINT NOT NULL PRIMARY KEY,
    FEntryID INT NOT NULL,
    FCustID INT NOT NULL,
    FItemID INT NOT NULL,
    FOperation VARCHAR(10) NOT NULL,
    FChanges NVARCHAR(MAX) NOT NULL,
    FUserID INT NULL,
    FLogin NVARCHAR(128) NOT NULL DEFAULT '',
    FTime VARCHAR(23) NOT NULL,
    FBatchID VARCHAR(40) NOT NULL DEFAULT '',
    FPrevHash CHAR(64) NULL,
    FHash CHAR(64) NULL
);
GO
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'ix_CustEntryHistory_Entry')
CREATE INDEX ix_CustEntryHistory_Entry ON t_CustEntryHistory (FEntryID);
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'ix_CustEntryHistory_CustItem')
CREATE INDEX ix_CustEntryHistory_CustItem ON t_CustEntryHistory (FCustID, FItemID);
GO

-- Appends the rows of #orva_history (FSeq, FEntryID, FCustID, FItemID,
-- FOperation, FChanges) in FSeq order, each chained to the one before.
CREATE OR ALTER PROCEDURE orva_history_append AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @user INT = TRY_CAST(CAST(SESSION_CONTEXT(N'orva.user') AS NVARCHAR(20)) AS INT);
    DECLARE @login NVARCHAR(128) = SUSER_SNAME();
    DECLARE @time VARCHAR(23) = CONVERT(VARCHAR(23), SYSUTCDATETIME(), 121);
    DECLARE @batch VARCHAR(40) = COALESCE(CAST(SESSION_CONTEXT(N'orva.batch') AS VARCHAR(40)),
                                          CAST(CURRENT_TRANSACTION_ID() AS VARCHAR(40)));
    DECLARE @prev CHAR(64), @id BIGINT, @text NVARCHAR(MAX);
    DECLARE @entry INT, @cust INT, @item INT, @op VARCHAR(10), @changes NVARCHAR(MAX);
    -- One writer at a time, to the end of the transaction.
    SELECT TOP 1 @prev = FHash, @id = FHistID
        FROM t_CustEntryHistory WITH (TABLOCKX, HOLDLOCK) ORDER BY FHistID DESC;
    SET @prev = COALESCE(@prev, '');
    SET @id = COALESCE(@id, 0);
    DECLARE c CURSOR LOCAL FAST_FORWARD FOR
        SELECT FEntryID, FCustID, FItemID, FOperation, FChanges FROM #orva_history ORDER BY FSeq;
    OPEN c;
    FETCH NEXT FROM c INTO @entry, @cust, @item, @op, @changes;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        SET @id = @id + 1;
        SET @text = CONCAT(@prev, NCHAR(10), @id, NCHAR(10), @entry, NCHAR(10), @cust, NCHAR(10),
                           @item, NCHAR(10), @op, NCHAR(10), @changes, NCHAR(10),
                           COALESCE(CAST(@user AS NVARCHAR(20)), N''), NCHAR(10), @login,
                           NCHAR(10), @time, NCHAR(10), @batch);
        INSERT INTO t_CustEntryHistory (FHistID, FEntryID, FCustID, FItemID, FOperation,
            FChanges, FUserID, FLogin, FTime, FBatchID, FPrevHash, FHash)
        VALUES (@id, @entry, @cust, @item, @op, @changes, @user, @login, @time, @batch, @prev,
            LOWER(CONVERT(VARCHAR(64), HASHBYTES('SHA2_256',
                CAST(@text COLLATE Latin1_General_100_CI_AS_SC_UTF8 AS VARCHAR(MAX))), 2)));
        SELECT @prev = FHash FROM t_CustEntryHistory WHERE FHistID = @id;
        FETCH NEXT FROM c INTO @entry, @cust, @item, @op, @changes;
    END
    CLOSE c;
    DEALLOCATE c;
END
GO

-- name US old US new RS for a column whose value changed (as text, compared
-- as bytes so that a change of letter case counts).
CREATE OR ALTER FUNCTION orva_history_col (@name NVARCHAR(40), @old NVARCHAR(MAX),
    @new NVARCHAR(MAX), @update BIT) RETURNS NVARCHAR(MAX) AS
BEGIN
    IF @update = 1 AND ((@old IS NULL AND @new IS NULL)
        OR CAST(@old AS VARBINARY(MAX)) = CAST(@new AS VARBINARY(MAX)))
        RETURN N'';
    RETURN CONCAT(@name, NCHAR(31), @old, NCHAR(31), @new, NCHAR(30));
END
GO

CREATE OR ALTER TRIGGER tr_CustEntry_History ON t_CustEntry AFTER INSERT, UPDATE, DELETE AS
BEGIN
    SET NOCOUNT ON;
    DECLARE @upd BIT = CASE WHEN EXISTS (SELECT 1 FROM inserted)
                             AND EXISTS (SELECT 1 FROM deleted) THEN 1 ELSE 0 END;
    CREATE TABLE #orva_history (FSeq INT IDENTITY(1,1), FEntryID INT, FCustID INT, FItemID INT,
        FOperation VARCHAR(10), FChanges NVARCHAR(MAX), FOnlyUsed BIT, FUsed INT);
    INSERT INTO #orva_history (FEntryID, FCustID, FItemID, FChanges, FOnlyUsed, FUsed)
    SELECT COALESCE(i.FEntryID, d.FEntryID), COALESCE(i.FCustID, d.FCustID),
           COALESCE(i.FItemID, d.FItemID), ch.c, CASE WHEN ch.c = u.c THEN 1 ELSE 0 END, i.FUsed
    FROM inserted i FULL OUTER JOIN deleted d ON i.FEntryID = d.FEntryID
    CROSS APPLY (SELECT CONCAT(
        dbo.orva_history_col(N'FCustID', CAST(d.FCustID AS NVARCHAR(MAX)), CAST(i.FCustID AS NVARCHAR(MAX)), @upd),
        dbo.orva_history_col(N'FItemID', CAST(d.FItemID AS NVARCHAR(MAX)), CAST(i.FItemID AS NVARCHAR(MAX)), @upd),
        dbo.orva_history_col(N'FUnitID', CAST(d.FUnitID AS NVARCHAR(MAX)), CAST(i.FUnitID AS NVARCHAR(MAX)), @upd),
        dbo.orva_history_col(N'FStartQty', CONVERT(NVARCHAR(MAX), d.FStartQty, 3), CONVERT(NVARCHAR(MAX), i.FStartQty, 3), @upd),
        dbo.orva_history_col(N'FEndQty', CONVERT(NVARCHAR(MAX), d.FEndQty, 3), CONVERT(NVARCHAR(MAX), i.FEndQty, 3), @upd),
        dbo.orva_history_col(N'FPrice', CONVERT(NVARCHAR(MAX), d.FPrice, 3), CONVERT(NVARCHAR(MAX), i.FPrice, 3), @upd),
        dbo.orva_history_col(N'FCyID', CAST(d.FCyID AS NVARCHAR(MAX)), CAST(i.FCyID AS NVARCHAR(MAX)), @upd),
        dbo.orva_history_col(N'FDiscount', CONVERT(NVARCHAR(MAX), d.FDiscount, 3), CONVERT(NVARCHAR(MAX), i.FDiscount, 3), @upd),
        dbo.orva_history_col(N'FLeadTime', CAST(d.FLeadTime AS NVARCHAR(MAX)), CAST(i.FLeadTime AS NVARCHAR(MAX)), @upd),
        dbo.orva_history_col(N'FQuoteTime', CONVERT(NVARCHAR(10), d.FQuoteTime, 23), CONVERT(NVARCHAR(10), i.FQuoteTime, 23), @upd),
        dbo.orva_history_col(N'FExpireDate', CONVERT(NVARCHAR(10), d.FExpireDate, 23), CONVERT(NVARCHAR(10), i.FExpireDate, 23), @upd),
        dbo.orva_history_col(N'FUsed', CAST(d.FUsed AS NVARCHAR(MAX)), CAST(i.FUsed AS NVARCHAR(MAX)), @upd),
        dbo.orva_history_col(N'FNote', CAST(d.FNote AS NVARCHAR(MAX)), CAST(i.FNote AS NVARCHAR(MAX)), @upd)) AS c) ch
    CROSS APPLY (SELECT dbo.orva_history_col(N'FUsed', CAST(d.FUsed AS NVARCHAR(MAX)),
        CAST(i.FUsed AS NVARCHAR(MAX)), @upd) AS c) u
    ORDER BY COALESCE(i.FEntryID, d.FEntryID);
    DELETE FROM #orva_history WHERE FChanges = N'';
    UPDATE #orva_history SET FOperation =
        CASE WHEN NOT EXISTS (SELECT 1 FROM deleted) THEN 'add'
             WHEN NOT EXISTS (SELECT 1 FROM inserted) THEN 'delete'
             WHEN FOnlyUsed = 1 AND FUsed = 1 THEN 'audit'
             WHEN FOnlyUsed = 1 THEN 'unaudit'
             ELSE 'change' END;
    IF EXISTS (SELECT 1 FROM #orva_history) EXEC orva_history_append;
END
GO

CREATE OR ALTER TRIGGER tr_Cust_History ON t_Cust AFTER UPDATE AS
BEGIN
    SET NOCOUNT ON;
    CREATE TABLE #orva_history (FSeq INT IDENTITY(1,1), FEntryID INT, FCustID INT, FItemID INT,
        FOperation VARCHAR(10), FChanges NVARCHAR(MAX));
    INSERT INTO #orva_history (FEntryID, FCustID, FItemID, FOperation, FChanges)
    SELECT 0, i.FCustID, i.FItemID, 'change', CONCAT(
        dbo.orva_history_col(N'FCurrencyID', CAST(d.FCurrencyID AS NVARCHAR(MAX)), CAST(i.FCurrencyID AS NVARCHAR(MAX)), 1),
        dbo.orva_history_col(N'FSELowPrice', CONVERT(NVARCHAR(MAX), d.FSELowPrice, 3), CONVERT(NVARCHAR(MAX), i.FSELowPrice, 3), 1))
    FROM inserted i JOIN deleted d ON i.FCustID = d.FCustID AND i.FItemID = d.FItemID
    ORDER BY i.FCustID, i.FItemID;
    DELETE FROM #orva_history WHERE FChanges = N'';
    IF EXISTS (SELECT 1 FROM #orva_history) EXEC orva_history_append;
END
GO

CREATE OR ALTER TRIGGER tr_CustEntryHistory_Refuse ON t_CustEntryHistory
    INSTEAD OF UPDATE, DELETE AS
BEGIN
    THROW 50001, N'Price history rows cannot be changed or deleted.', 1;
END
GO

-- The module's role (and every other) may read and add, never rewrite.
DENY UPDATE, DELETE ON t_CustEntryHistory TO PUBLIC;
GO
